// vxorder save and send, run as a script runs them, against the exchange
// simulator of the test (the program finds it through the service file of
// the test's temporary folder, which it inherits).
#include <gtest/gtest.h>

#include <string>

#include "actions/action_host.h"
#include "actions/program_run.h"
#include "documents/order_outputs.h"
#include "hostlink/test_server.h"

namespace vx {
namespace {

using testing::ReadFileBytes;
using testing::RunProgram;
using testing::TActionHost;
using testing::TProgramRun;
using testing::VxorderProgram;
using testing::WriteFileBytes;

TProgramRun RunVxorder(const std::vector<std::string>& arguments) { return RunProgram(VxorderProgram(), arguments); }

class VxorderActions : public ::testing::Test {
 protected:
  TActionHost Host;
};

TEST_F(VxorderActions, SaveIntoAFolderUsesTheProposedName) {
  Host.HostOrder(R"({"Permissions":{},"Order":[{"PrintName":"Angebot","PrintUID":5,"Adress":[{}],"Parts":[]}]})");
  Host.UseTemplate("[PrintName] [PrintUID]");
  Host.StartSimulator();
  const std::string folder = Host.Folder.File("out");
  CreateFolderTree(folder);

  const TProgramRun run = RunVxorder({"save", folder});
  const std::string saved = folder + "/Angebot 5.json";
  EXPECT_EQ(run.ExitCode, 0);
  EXPECT_EQ(run.Output, "Die erzeugten Datei finden Sie hier:\nKlicken Sie hier (" + saved +
                            "), um den entsprechenden Ordner zu \xf6" "ffnen.\n");
  EXPECT_NE(ReadFileBytes(saved).find("\"Description\":\"VX Datei Zwischenablage\""), std::string::npos);
  EXPECT_TRUE(TActionHost::HostTemporaryFiles().empty());
}

TEST_F(VxorderActions, NameAndSaveProposeTheSameFileName) {
  Host.HostOrder(R"({"Permissions":{},"Order":[{"PrintName":"Angebot","PrintUID":5,"Adress":[{}],"Parts":[]}]})");
  Host.StartSimulator();
  const std::string folder = Host.Folder.File("out");
  CreateFolderTree(folder);
  const TCalendarDate today = Today();
  char date[16];
  std::snprintf(date, sizeof date, "[%02d.%02d.%04d]", today.Day, today.Month, today.Year);
  struct TCase {
    const char* Template;
    std::string Name;
    std::string Saved;
  } cases[] = {
      // Cleaned down to nothing: both fall back to the default template.
      {"[AdressName]", std::string("Angebot 5   ") + date, std::string("Angebot 5   ") + date + ".json"},
      // A name that already ends in the extension gets no second one.
      {"Auftrag-[PrintUID].json", "Auftrag-5.json", "Auftrag-5.json"},
  };
  for (const TCase& c : cases) {
    Host.UseTemplate(c.Template);
    EXPECT_EQ(RunVxorder({"name", Host.Options.OrderFile}).Output, c.Name + "\n") << c.Template;
    EXPECT_EQ(RunVxorder({"save", folder}).ExitCode, 0) << c.Template;
    EXPECT_TRUE(FileIsPresent(folder + "/" + c.Saved)) << c.Template;
  }
}

TEST_F(VxorderActions, SaveWithoutAnOrderOrWithAnErrorFails) {
  Host.StartSimulator();
  const std::string target = Host.Folder.File("order.json");
  EXPECT_EQ(RunVxorder({"save", target}).Output, "Auftrag wurde nicht geladen.\n");
  EXPECT_EQ(RunVxorder({"save", target}).ExitCode, 1);
  Host.StopSimulator();
  Host.HostOrder(R"({"Order":[{"Adress":[{}]}]})");
  Host.StartSimulator();
  const TProgramRun run = RunVxorder({"save", target});
  EXPECT_EQ(run.ExitCode, 1);
  EXPECT_EQ(run.Output, "Auftrag wurde nicht geladen:\n<TJsonObject>\"Permissions\" not found\n");
  EXPECT_FALSE(FileIsPresent(target));
}

TEST_F(VxorderActions, SendGivesEachJsonFileAndLeavesTheAttachmentsToTheHost) {
  const std::string order = Host.Folder.File("a.json");
  WriteFileBytes(order, R"({"Order":[{"Adress":[{}],"Parts":[{"Position":"1","L2":"base64:QUJD"}]}]})");
  const std::string broken = Host.Folder.File("b.json");
  WriteFileBytes(broken, "{");
  const std::string text = Host.Folder.File("c.txt");
  WriteFileBytes(text, "{}");
  Host.StartSimulator();

  const TProgramRun run = RunVxorder({"send", order, broken, text});
  EXPECT_EQ(run.ExitCode, 1);
  EXPECT_EQ(run.Output, "Daten nicht lesbar.\n" + broken + "\nsent 1 of 3 files\n");
  const std::vector<std::string> sent = Host.OutData();
  ASSERT_EQ(sent.size(), 1u);
  const std::string key = "\"L2\":\"";
  const size_t at = sent[0].find(key);
  ASSERT_NE(at, std::string::npos);
  std::string attachment = sent[0].substr(at + key.size(), sent[0].find('"', at + key.size()) - at - key.size());
  // The import document writes "/" as "\/".
  for (size_t slash = attachment.find("\\/"); slash != std::string::npos; slash = attachment.find("\\/", slash)) {
    attachment.erase(slash, 1);
  }
  EXPECT_EQ(ReadFileBytes(attachment), "ABC");
  EXPECT_NE(sent[0].find("\"DeleteL2\":true"), std::string::npos);
  DeleteFileIfPresent(attachment);
}

TEST_F(VxorderActions, SendFailsWhenTheOrderIsNotInEditMode) {
  Host.Options.EditMode = false;
  Host.StartSimulator();
  const std::string order = Host.Folder.File("a.json");
  WriteFileBytes(order, R"({"Order":[{"Adress":[{}],"Parts":[]}]})");
  const TProgramRun run = RunVxorder({"send", order});
  EXPECT_EQ(run.ExitCode, 1);
  EXPECT_EQ(run.Output, "Auftrag muss auf Bearbeiten stehen.\nsent 0 of 1 files\n");
  EXPECT_TRUE(Host.OutData().empty());
}

TEST_F(VxorderActions, SendCountsOnlyWhatTheHostAcknowledged) {
  const std::string order = Host.Folder.File("a.json");
  WriteFileBytes(order, R"({"Order":[{"Adress":[{}],"Parts":[{"Position":"1"}]}]})");
  {
    // A host that takes everything but hangs up on every document.
    const std::string name = vx::test::UniquePipeName("vx-drop");
    vx::test::TTestServer server(name, [](const std::string& request) {
      const std::string command = vx::test::CommandOf(request);
      if (command == "OUTDATA") return vx::test::TReply{"", true};
      return vx::test::TReply{vx::test::FramedAnswer(vx::test::DataBlock(command == "CANPOSTJSON" ? "1" : ""))};
    });
    WriteFileBytes(GetTempFolder() + kLocalServiceFileName, name + "\r\n");
    const TProgramRun run = RunVxorder({"send", order});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_EQ(run.Output, "sent 0 of 1 files\n");
    DeleteFileIfPresent(GetTempFolder() + kLocalServiceFileName);
  }
  Host.StartSimulator();
  const TProgramRun run = RunVxorder({"send", order, order});
  EXPECT_EQ(run.ExitCode, 0);
  EXPECT_EQ(run.Output, "sent 2 of 2 files\n");
  EXPECT_EQ(Host.OutData().size(), 2u);
}

TEST_F(VxorderActions, WrongCommandLines) {
  EXPECT_EQ(RunVxorder({"save"}).ExitCode, 2);
  EXPECT_EQ(RunVxorder({"save", "a", "b"}).ExitCode, 2);
  EXPECT_EQ(RunVxorder({"send"}).ExitCode, 2);
}

}  // namespace
}  // namespace vx
