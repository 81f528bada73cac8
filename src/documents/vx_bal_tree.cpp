#include "documents/vx_bal_tree.h"

namespace vx {

namespace {

using TNode = TVXBalTree::TNode;

// A left child on the node's own level is rotated up.
TNode* Skew(TNode* node) {
  if (node->Left->Level != node->Level) return node;
  TNode* left = node->Left;
  node->Left = left->Right;
  left->Right = node;
  return left;
}

// Two right links on one level: the middle node rises a level.
TNode* Split(TNode* node) {
  if (node->Right->Right->Level != node->Level) return node;
  TNode* right = node->Right;
  node->Right = right->Left;
  right->Left = node;
  ++right->Level;
  return right;
}

}  // namespace

TVXBalTree::TVXBalTree() {
  FBottom.Left = &FBottom;
  FBottom.Right = &FBottom;
  FRoot = &FBottom;
}

int TVXBalTree::Find(std::string_view name) const {
  const TNode* node = FRoot;
  while (node != &FBottom) {
    const int order = name.compare(node->Name);
    if (order == 0) return node->Position;
    node = order < 0 ? node->Left : node->Right;
  }
  return -1;
}

void TVXBalTree::Insert(const std::string& name, int position) { FRoot = InsertBelow(FRoot, name, position); }

void TVXBalTree::Clear() {
  FRoot = &FBottom;
  FNodes.clear();
}

TNode* TVXBalTree::InsertBelow(TNode* node, const std::string& name, int position) {
  if (node == &FBottom) {
    FNodes.push_back(std::make_unique<TNode>(TNode{name, position, 1, &FBottom, &FBottom}));
    return FNodes.back().get();
  }
  const int order = name.compare(node->Name);
  if (order == 0) return node;
  if (order < 0) {
    node->Left = InsertBelow(node->Left, name, position);
  } else {
    node->Right = InsertBelow(node->Right, name, position);
  }
  return Split(Skew(node));
}

}  // namespace vx
