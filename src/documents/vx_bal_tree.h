// The name index of an import-tree object: an AA tree from a pair's name to
// its position among the object's children, so that fields are found in
// logarithmic time while the children keep their insertion order.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vx {

class TVXBalTree {
 public:
  struct TNode {
    std::string Name;
    int Position = -1;
    // 0 only for the sentinel.
    int Level = 0;
    TNode* Left = nullptr;
    TNode* Right = nullptr;
  };

  TVXBalTree();
  TVXBalTree(const TVXBalTree&) = delete;
  TVXBalTree& operator=(const TVXBalTree&) = delete;

  // The position stored for the name, or -1. Names compare byte by byte,
  // letter case significant.
  int Find(std::string_view name) const;

  // Adds (name, position). An equal name adds nothing, so the first
  // position of a name stays.
  void Insert(const std::string& name, int position);

  void Clear();

  // The sentinel stands for every empty subtree and points to itself.
  const TNode* Root() const { return FRoot; }
  const TNode* Bottom() const { return &FBottom; }

 private:
  TNode* InsertBelow(TNode* node, const std::string& name, int position);

  TNode FBottom;
  TNode* FRoot;
  // Owns every node; the links above are views into it.
  std::vector<std::unique_ptr<TNode>> FNodes;
};

}  // namespace vx
