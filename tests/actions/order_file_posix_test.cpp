// What only POSIX can stage for the actions: a save that fails while
// writing (the process's file size limit stands in for a disk that fills
// up part-way through the order file), and FIFOs where files should be.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "actions/action_host.h"
#include "documents/order_document.h"
#include "hostlink/test_server.h"
#include "json/fast_json.h"
#include "support/fifo_posix.h"
#include "support/file_contents.h"
#include "support/file_size_limit.h"
#include "support/temp_folder.h"

namespace vx {
namespace {

using testing::ReadFileBytes;
using testing::TActionHost;
using testing::TFifo;
using testing::TFileSizeLimit;
using testing::TTempFolder;
using testing::WriteFileBytes;

TEST(WriteOrderFile, FailingPartWayKeepsTheOlderFileAndTheAttachment) {
  TTempFolder folder;
  const std::string target = folder.File("order.json");
  const std::string attachment = folder.File("contract.pdf");
  WriteFileBytes(target, "the order saved yesterday");
  WriteFileBytes(attachment, std::string(300, 'x'));
  TVXJSONObject document;
  document.Load(R"({"Permissions":{},"Order":[{"Adress":[{}],"Parts":[{"L2":")" + EncodeJsonText(attachment) +
                    R"("}]}]})",
                true, false);
  {
    TFileSizeLimit limit(200);
    EXPECT_THROW(WriteOrderFile(document, target), Exception);
  }
  EXPECT_EQ(ReadFileBytes(target), "the order saved yesterday");
  EXPECT_EQ(ReadFileBytes(attachment), std::string(300, 'x'));
  // Nothing half-written is left beside it.
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder.Path())) files += entry.is_regular_file();
  EXPECT_EQ(files, 2);
}

// The host's order file, an order file to send and an attachment, each a
// FIFO: every action goes on at once, with the file's error where the
// window shows one, instead of waiting for a writer that never comes.
TEST(NonRegularFiles, EndTheActionsAtOnce) {
  TActionHost host;
  TFifo fifo(host.Folder.File("order.json"));
  const std::string name = vx::test::UniquePipeName("vx-fifo");
  vx::test::TTestServer server(name, [&](const std::string& request) {
    const std::string command = vx::test::CommandOf(request);
    const std::string answer = command == "GETJSON" ? fifo.Path : command == "CANPOSTJSON" ? "1" : "";
    return vx::test::TReply{vx::test::FramedAnswer(vx::test::DataBlock(answer))};
  });
  SetServerName(name);
  const std::string notRegular = "Datei " + fifo.Path + " ist keine regul\xe4re Datei";

  EXPECT_FALSE(ButtonReadClick(host.Context()));
  EXPECT_EQ(host.UI.Messages, (std::vector<std::string>{"Auftrag wurde <b>nicht geladen</b>:\r\n" + notRegular}));
  EXPECT_TRUE(FileIsPresent(fifo.Path));

  host.UI.Messages.clear();
  EXPECT_TRUE(PostOrderFiles(host.Context(), {fifo.Path}));
  EXPECT_EQ(host.UI.Messages, (std::vector<std::string>{"Daten <b>nicht lesbar</b>.<br>" + fifo.Path}));

  TVXJSONObject document;
  const std::string l2 = "\"L2\":\"" + EncodeJsonText(fifo.Path) + "\"";
  document.Load(R"({"Order":[{"Adress":[{}],"Parts":[{)" + l2 + "}]}]}", true, false);
  EXPECT_TRUE(EmbedL2Files(document).empty());
  EXPECT_EQ(document.Part(0).Values("L2").AsString(), fifo.Path);
}

}  // namespace
}  // namespace vx
