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

// Today as the template's "[CurrentDate]" gives it: "[dd.mm.yyyy]".
std::string TodayInBrackets() { return ProposeOrderFileName("[CurrentDate]", TFileNameValues{}, Today()); }

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
  EXPECT_EQ(run.Output, saved + "\n");
  EXPECT_EQ(run.Errors, "Die erzeugten Datei finden Sie hier:\nKlicken Sie hier (" + saved +
                            "), um den entsprechenden Ordner zu \xf6" "ffnen.\n");
  EXPECT_NE(ReadFileBytes(saved).find("\"Description\":\"VX Datei Zwischenablage\""), std::string::npos);
  EXPECT_TRUE(TActionHost::HostTemporaryFiles().empty());
}

TEST_F(VxorderActions, NameAndSaveProposeTheSameFileName) {
  Host.HostOrder(R"({"Permissions":{},"Order":[{"PrintName":"Angebot","PrintUID":5,"Adress":[{}],"Parts":[]}]})");
  Host.StartSimulator();
  const std::string folder = Host.Folder.File("out");
  CreateFolderTree(folder);
  const std::string date = TodayInBrackets();
  struct TCase {
    const char* Template;
    std::string Name;
    std::string Saved;
  } cases[] = {
      // Cleaned down to nothing: both fall back to the default template.
      {"[AdressName]", "Angebot 5   " + date, "Angebot 5   " + date + ".json"},
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

// No one answers vxorder's question, so a file it names itself, and a name
// it appended ".json" to, are never replaced; a full name is.
TEST_F(VxorderActions, SaveAddsJsonAndReplacesOnlyAFileNamedInFull) {
  Host.HostOrder(R"({"Permissions":{},"Order":[{"PrintName":"Angebot","PrintUID":5,"Adress":[{}],"Parts":[]}]})");
  Host.UseTemplate("[PrintName] [PrintUID] [CurrentDate]");
  Host.StartSimulator();
  const std::string folder = Host.Folder.File("out");
  CreateFolderTree(folder);
  // The date's points would pass for an extension in a save dialog.
  const std::string proposed = folder + "/Angebot 5 " + TodayInBrackets() + ".json";
  const std::string named = Host.Folder.File("auftrag");
  const std::string refusal = " ist bereits vorhanden.\nM\xf6" "chten Sie die Datei ersetzen?\n"
                              "vxorder: no - nothing replaced; name the file in full, ending in .json, to replace it\n";
  const struct {
    std::string Path;
    std::string Written;
  } cases[] = {{folder, proposed}, {named, named + ".json"}};
  for (const auto& c : cases) {
    const TProgramRun first = RunVxorder({"save", c.Path});
    EXPECT_EQ(first.ExitCode, 0) << c.Path;
    EXPECT_EQ(first.Output, c.Written + "\n");
    const std::string saved = ReadFileBytes(c.Written);
    ASSERT_NE(saved, "") << c.Written;

    const TProgramRun second = RunVxorder({"save", c.Path});
    EXPECT_EQ(second.ExitCode, 1) << c.Path;
    EXPECT_EQ(second.Output, "") << c.Path;
    // The German quotes around the name are C1 controls to a POSIX terminal.
    EXPECT_EQ(second.Errors, "\\x84" + ExtractFileName(c.Written) + "\\x93" + refusal) << c.Path;
    EXPECT_EQ(ReadFileBytes(c.Written), saved) << c.Path;
  }
  const TProgramRun full = RunVxorder({"save", named + ".json"});
  EXPECT_EQ(full.ExitCode, 0);
  EXPECT_EQ(full.Output, named + ".json\n");
  EXPECT_TRUE(TActionHost::HostTemporaryFiles().empty());
}

// A PATH ending in "/" names a folder, there or not: created, the proposed
// name saved inside, and on any failure nothing of it left behind.
TEST_F(VxorderActions, SaveIntoAFolderThatIsNotThereYet) {
  const std::string order =
      R"({"Permissions":{},"Order":[{"PrintName":"Angebot","PrintUID":5,"Adress":[{}],"Parts":[]}]})";
  Host.HostOrder(order);
  Host.UseTemplate("[PrintName] [PrintUID]");
  Host.StartSimulator();
  const std::string created = Host.Folder.File("new") + "/deeper/";
  TProgramRun run = RunVxorder({"save", created});
  EXPECT_EQ(run.ExitCode, 0) << run.Errors;
  EXPECT_EQ(run.Output, created + "Angebot 5.json\n");
  EXPECT_TRUE(FileIsPresent(created + "Angebot 5.json"));

  // A file where the folder should be: refused before the host is asked.
  const std::string blocking = Host.Folder.File("blocking");
  WriteFileBytes(blocking, "kept");
  run = RunVxorder({"save", blocking + "/"});
  EXPECT_EQ(run.ExitCode, 1);
  EXPECT_EQ(run.Errors, "vxorder: " + blocking + "/ names a folder, but a file of that name is there\n");
  EXPECT_EQ(ReadFileBytes(blocking), "kept");

  // A name the system refuses: the folders made for it go again.
  Host.UseTemplate(std::string(300, 'x'));
  const std::string refused = Host.Folder.File("gone") + "/deeper/";
  run = RunVxorder({"save", refused});
  EXPECT_EQ(run.ExitCode, 1);
  EXPECT_EQ(run.Output, "");
  const std::string notCreated = "Auftrag wurde nicht geladen:\nDatei " + refused;
  EXPECT_EQ(run.Errors.substr(0, notCreated.size()), notCreated) << run.Errors;
  EXPECT_FALSE(FolderIsPresent(Host.Folder.File("gone")));
  // The same for the folder of a file named in full.
  run = RunVxorder({"save", Host.Folder.File("gone") + "/" + std::string(300, 'y') + ".json"});
  EXPECT_EQ(run.ExitCode, 1);
  EXPECT_FALSE(FolderIsPresent(Host.Folder.File("gone")));
  Host.StopSimulator();

  // The folder goes while the host hands the order over: the name is still
  // saved inside it, not taken for the file's own name.
  Host.UseTemplate("[PrintName] [PrintUID]");
  const std::string vanishing = Host.Folder.File("vanishing");
  CreateFolderTree(vanishing);
  const std::string name = vx::test::UniquePipeName("vx-vanish");
  vx::test::TTestServer server(name, [&](const std::string& request) {
    std::string answer;
    if (vx::test::CommandOf(request) == "GETJSON") {
      RemoveEmptyFolder(vanishing);
      answer = Host.Folder.File("handed-over.json");
      WriteFileBytes(answer, order);
    }
    return vx::test::TReply{vx::test::FramedAnswer(vx::test::DataBlock(answer))};
  });
  WriteFileBytes(GetTempFolder() + kLocalServiceFileName, name + "\r\n");
  run = RunVxorder({"save", vanishing + "/"});
  DeleteFileIfPresent(GetTempFolder() + kLocalServiceFileName);
  EXPECT_EQ(run.ExitCode, 0) << run.Errors;
  EXPECT_EQ(run.Output, vanishing + "/Angebot 5.json\n");
  EXPECT_TRUE(FileIsPresent(vanishing + "/Angebot 5.json"));
}

TEST_F(VxorderActions, SaveWithoutAnOrderOrWithAnErrorFails) {
  Host.StartSimulator();
  const std::string target = Host.Folder.File("order.json");
  EXPECT_EQ(RunVxorder({"save", target}).Errors, "Auftrag wurde nicht geladen.\n");
  EXPECT_EQ(RunVxorder({"save", target}).ExitCode, 1);
  Host.StopSimulator();
  Host.HostOrder(R"({"Order":[{"Adress":[{}]}]})");
  Host.StartSimulator();
  const TProgramRun run = RunVxorder({"save", target});
  EXPECT_EQ(run.ExitCode, 1);
  EXPECT_EQ(run.Output, "");
  EXPECT_EQ(run.Errors, "Auftrag wurde nicht geladen:\n<TJsonObject>\"Permissions\" not found\n");
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

  const std::string folder = Host.Folder.File("folder.json");
  CreateFolderTree(folder);
  const std::string missing = Host.Folder.File("missing.json");
  const TProgramRun run = RunVxorder({"send", order, broken, text, folder, missing});
  EXPECT_EQ(run.ExitCode, 1);
  EXPECT_EQ(run.Output, "sent 1 of 5 files\n");
  EXPECT_EQ(run.Errors, "Daten nicht lesbar.\n" + broken + "\n"
                        "skipped " + broken + ": unreadable: <TFastJSON>\"\" parse error: { ..\n"
                        "skipped " + text + ": not a .json file\n"
                        "skipped " + folder + ": a folder\n"
                        "skipped " + missing + ": missing\n");
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
  EXPECT_EQ(run.Output, "sent 0 of 1 files\n");
  EXPECT_EQ(run.Errors, "Auftrag muss auf Bearbeiten stehen.\nskipped " + order +
                            ": the order in VX is not in edit mode\n");
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
    EXPECT_EQ(run.Errors, "skipped " + order + ": refused by the host\n");
    DeleteFileIfPresent(GetTempFolder() + kLocalServiceFileName);
  }
  Host.StartSimulator();
  const TProgramRun run = RunVxorder({"send", order, order});
  EXPECT_EQ(run.ExitCode, 0);
  EXPECT_EQ(run.Output, "sent 2 of 2 files\n");
  EXPECT_EQ(run.Errors, "");
  EXPECT_EQ(Host.OutData().size(), 2u);
}

TEST_F(VxorderActions, WrongCommandLines) {
  EXPECT_EQ(RunVxorder({"save"}).ExitCode, 2);
  EXPECT_EQ(RunVxorder({"save", "a", "b"}).ExitCode, 2);
  EXPECT_EQ(RunVxorder({"send"}).ExitCode, 2);
}

}  // namespace
}  // namespace vx
