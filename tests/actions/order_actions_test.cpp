// The save, send and copy actions against the exchange simulator, with a
// fake user interface in place of the window's dialogs and clipboard.
#include "actions/order_actions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "actions/action_host.h"
#include "documents/file_name_template.h"
#include "documents/order_document.h"
#include "hostlink/test_server.h"
#include "json/fast_json.h"
#include "support/os_file.h"

namespace vx {
namespace {

using testing::ReadFileBytes;
using testing::TActionHost;
using testing::WriteFileBytes;

const std::string kNotLoaded = "Auftrag wurde <b>nicht geladen</b>.";
const std::string kNotLoadedBecause = "Auftrag wurde <b>nicht geladen</b>:\r\n";
const std::string kNotInEditMode = "Auftrag muss auf <b>Bearbeiten stehen</b>.";
const std::string kNotReadable = "Daten <b>nicht lesbar</b>.<br>";

std::string Quoted(const std::string& text) { return "\"" + EncodeJsonText(text) + "\""; }

// The host's order with one attachment on its first position.
std::string HostOrderText(const std::string& attachment) {
  return R"({"UID":"host-1","Description":"Auftrag 17","Permissions":{"Edit":true},"NettoPrices":true,)"
         R"("Order":[{"PrintName":"Rechnung","PrintUID":17,"Adress":[{"AdressSmart":"M\u00fcller/S\u00f6hne: Bau",)"
         R"("CustomerNumber":"4711"}],"Parts":[{"Position":"1","Quantity":"2","L2":)" +
         Quoted(attachment) + R"(},{"Position":"2","Quantity":"1"}],"Tags":[1]},{"Note":"x"}]})";
}

std::string SavedMessage(const std::string& fileName) {
  return "<B>Die erzeugten Datei finden Sie hier:</B><BR><A href=\"SHOpenFolderAndSelectItems://" + fileName +
         "\">Klicken Sie hier</A>, um den entsprechenden <B>Ordner</B> zu \xf6" "ffnen.";
}

// The written order file with its new "UID" (time and GUID) as "UID".
std::string WithoutStamp(const std::string& text) {
  const std::string key = "\"UID\":\"";
  const size_t start = text.find(key);
  if (start == std::string::npos) return text;
  const size_t end = text.find('"', start + key.size());
  return text.substr(0, start + key.size()) + "UID" + text.substr(end);
}

// The save dialog as the save action asks for it.
void ExpectSaveDialog(const TFileDialogRequest& request, const std::string& proposedName) {
  EXPECT_TRUE(request.Save);
  EXPECT_EQ(request.DialogKey, "kastelo.VXJSONObject");
  EXPECT_EQ(request.FolderKey, "");
  EXPECT_EQ(request.Filter, "JSON File|*.json");
  EXPECT_EQ(request.ProposedFileName, proposedName);
  EXPECT_FALSE(request.MultiSelect);
  EXPECT_EQ(request.DefaultExt, "json");
}

class SaveAction : public ::testing::Test {
 protected:
  void SetUp() override {
    Attachment = Host.Folder.File("contract.pdf");
    WriteFileBytes(Attachment, "%PDF");
    Host.HostOrder(HostOrderText(Attachment));
    Host.UseTemplate("[printname]-[printuid]");
    Host.StartSimulator();
  }

  TActionHost Host;
  std::string Attachment;
};

TEST_F(SaveAction, WritesTheStrippedOrderWithItsAttachmentAndShowsWhereItIs) {
  const std::string target = Host.Folder.File("saved") + kPathDelim + "order.json";
  // Twice in a row: the second save works on a freshly loaded order.
  for (int run = 0; run < 2; ++run) {
    WriteFileBytes(Attachment, "%PDF");
    Host.UI.DialogAnswers.push_back({target});
    EXPECT_TRUE(ButtonReadClick(Host.Context())) << run;
    ASSERT_EQ(Host.UI.Dialogs.size(), run + 1u);
    ExpectSaveDialog(Host.UI.Dialogs[run], "Rechnung-17");
    EXPECT_EQ(Host.UI.Messages, std::vector<std::string>(run + 1, SavedMessage(target)));
    EXPECT_EQ(WithoutStamp(ReadFileBytes(target)),
              "  {\r\n"
              "  \"UID\":\"UID\",\r\n"
              "  \"Description\":\"VX Datei Zwischenablage\",\r\n"
              "  \"NettoPrices\":true,\r\n"
              "  \"Order\":[\r\n"
              "   {\r\n"
              "   \"Adress\":[\r\n"
              "    {\r\n"
              "    }\r\n"
              "    ]\r\n"
              ",\r\n"
              "   \"Parts\":[\r\n"
              "    {\r\n"
              "    \"Position\":\"1\",\r\n"
              "    \"Quantity\":\"2\",\r\n"
              "    \"L2\":\"base64:JVBERg==\",\r\n"
              "    \"DeleteL2\":true\r\n"
              "    },\r\n"
              "    {\r\n"
              "    \"Position\":\"2\",\r\n"
              "    \"Quantity\":\"1\",\r\n"
              "    \"L2\":null\r\n"
              "    }\r\n"
              "    ]\r\n"
              ",\r\n"
              "   \"Tags\":[1\r\n"
              "    ]\r\n"
              "\r\n"
              "   },\r\n"
              "   {\r\n"
              "   \"Note\":\"x\"\r\n"
              "   }\r\n"
              "   ]\r\n"
              "\r\n"
              "  }")
        << run;
    EXPECT_FALSE(FileIsPresent(Attachment)) << run;
    EXPECT_TRUE(TActionHost::HostTemporaryFiles().empty()) << run;
  }
  EXPECT_EQ(Host.CaptionUpdates, 2);
}

TEST_F(SaveAction, CancelledDialogWritesNothingAndKeepsTheAttachment) {
  EXPECT_FALSE(ButtonReadClick(Host.Context()));
  EXPECT_EQ(Host.UI.Dialogs.size(), 1u);
  EXPECT_TRUE(Host.UI.Messages.empty());
  EXPECT_EQ(ReadFileBytes(Attachment), "%PDF");
  // The host's file was loaded, so it is gone all the same.
  EXPECT_TRUE(TActionHost::HostTemporaryFiles().empty());
}

TEST_F(SaveAction, ReplacesAnOlderFileOfThatName) {
  const std::string target = Host.Folder.File("order.json");
  WriteFileBytes(target, "old order");
  Host.UI.DialogAnswers.push_back({target});
  EXPECT_TRUE(ButtonReadClick(Host.Context()));
  EXPECT_EQ(ReadFileBytes(target).substr(0, 10), "  {\r\n  \"UI");
  EXPECT_EQ(ReadFileBytes(target).find("old order"), std::string::npos);
}

// A dialog may take the proposed name's date for an extension and add no
// ".json"; the save adds it, and asks before it replaces a file under the
// name it made.
TEST_F(SaveAction, WritesAJsonFileAndAsksBeforeReplacingUnderTheAppendedName) {
  const std::string dated = Host.Folder.File("Rechnung-17 [06.12.2026]");
  const std::string capitals = Host.Folder.File("Rechnung.JSON");
  const struct {
    std::string Answer;
    std::string Written;
  } fresh[] = {{dated, dated + ".json"}, {capitals, capitals}};
  for (const auto& c : fresh) {
    Host.UI.Messages.clear();
    Host.UI.DialogAnswers.push_back({c.Answer});
    std::string saved;
    EXPECT_TRUE(ButtonReadClick(Host.Context(), &saved)) << c.Answer;
    EXPECT_EQ(saved, c.Written);
    EXPECT_EQ(Host.UI.Messages, std::vector<std::string>{SavedMessage(c.Written)});
    EXPECT_NE(ReadFileBytes(c.Written).find("VX Datei Zwischenablage"), std::string::npos) << c.Written;
  }
  EXPECT_FALSE(FileIsPresent(dated));
  EXPECT_TRUE(Host.UI.Questions.empty());

  const std::string question =
      "\x84Rechnung-17 [06.12.2026].json\x93 ist bereits vorhanden.<br>M\xf6" "chten Sie die Datei ersetzen?";
  for (const bool replace : {false, true}) {
    WriteFileBytes(dated + ".json", "older order");
    WriteFileBytes(Attachment, "%PDF");
    Host.UI.Messages.clear();
    Host.UI.Questions.clear();
    Host.UI.QuestionAnswer = replace;
    Host.UI.DialogAnswers.push_back({dated});
    EXPECT_EQ(ButtonReadClick(Host.Context()), replace);
    EXPECT_EQ(Host.UI.Questions, std::vector<std::string>{question});
    if (replace) {
      EXPECT_EQ(Host.UI.Messages, std::vector<std::string>{SavedMessage(dated + ".json")});
      EXPECT_NE(ReadFileBytes(dated + ".json").find("VX Datei Zwischenablage"), std::string::npos);
    } else {
      // No ends the save as a cancelled dialog does.
      EXPECT_TRUE(Host.UI.Messages.empty());
      EXPECT_EQ(ReadFileBytes(dated + ".json"), "older order");
      EXPECT_EQ(ReadFileBytes(Attachment), "%PDF");
    }
    EXPECT_FALSE(FileIsPresent(dated));
  }
}

TEST_F(SaveAction, TargetThatCannotBeWrittenIsReportedWithTheSystemsReason) {
  // A file stands where the target's folder should be.
  const std::string blocking = Host.Folder.File("order.json");
  WriteFileBytes(blocking, "old order");
  const std::string target = blocking + kPathDelim + "new.json";
  Host.UI.DialogAnswers.push_back({target});
  EXPECT_FALSE(ButtonReadClick(Host.Context()));
  EXPECT_EQ(Host.UI.Messages, std::vector<std::string>{kNotLoadedBecause + "Datei " + target +
                                                       " kann nicht erstellt werden  " +
                                                       FileErrorMessage(kErrorPathNotFound)});
  EXPECT_FALSE(FileErrorMessage(kErrorPathNotFound).empty());
  EXPECT_EQ(ReadFileBytes(blocking), "old order");
}

TEST_F(SaveAction, WithoutAnOrderTellsSoAndAsksNothing) {
  Host.StopSimulator();
  // A host without an open order, then no host at all.
  Host.Options.OrderFile.clear();
  Host.StartSimulator();
  EXPECT_FALSE(ButtonReadClick(Host.Context()));
  Host.StopSimulator();
  EXPECT_FALSE(ButtonReadClick(Host.Context()));
  EXPECT_EQ(Host.UI.Messages, std::vector<std::string>(2, kNotLoaded));
  EXPECT_TRUE(Host.UI.Dialogs.empty());
}

TEST_F(SaveAction, BrokenOrderIsReportedAndItsFileKept) {
  Host.HostOrder(R"({"Order":[{"Adress":[{}]})");
  EXPECT_FALSE(ButtonReadClick(Host.Context()));
  ASSERT_EQ(Host.UI.Messages.size(), 1u);
  EXPECT_EQ(Host.UI.Messages[0].substr(0, kNotLoadedBecause.size()), kNotLoadedBecause);
  EXPECT_GT(Host.UI.Messages[0].size(), kNotLoadedBecause.size());
  EXPECT_TRUE(Host.UI.Dialogs.empty());
  EXPECT_EQ(TActionHost::HostTemporaryFiles().size(), 1u);
}

TEST_F(SaveAction, OrderWithoutPermissionsIsReportedAndNothingWritten) {
  Host.HostOrder(R"({"Order":[{"PrintUID":"abc","Adress":[{}],"Parts":[{"L2":)" + Quoted(Attachment) + "}]}]}");
  const std::string target = Host.Folder.File("order.json");
  Host.UI.DialogAnswers.push_back({target});
  EXPECT_FALSE(ButtonReadClick(Host.Context()));
  ASSERT_EQ(Host.UI.Dialogs.size(), 1u);
  EXPECT_EQ(Host.UI.Dialogs[0].ProposedFileName, "-Neu");
  EXPECT_EQ(Host.UI.Messages, std::vector<std::string>{kNotLoadedBecause + "<TJsonObject>\"Permissions\" not found"});
  EXPECT_FALSE(FileIsPresent(target));
  EXPECT_EQ(ReadFileBytes(Attachment), "%PDF");
}

// Send

// The import document the host receives for positions given as their
// "Position" and "L2" texts.
std::string ImportDocument(const std::vector<std::pair<std::string, std::string>>& positions, bool netto) {
  std::string parts;
  for (const auto& position : positions) {
    if (!parts.empty()) parts += ",";
    parts += R"({"Intern":"","Price":"","TypLine":"","Position":)" + Quoted(position.first) +
             R"(,"Unit":"","Quantity":"1","Description1":"","Description2":"","Number":"","TaxRate":"",)"
             R"("LongText":"","DeliverNumber":"","SerialNumber":"","Rabatt":"","L2":)" +
             Quoted(position.second) + R"(,"DeleteL2":true})";
  }
  return R"({"Order":[{"Parts":[)" + parts + R"(],"Adress":[{}],"NettoPrices":)" + (netto ? "true" : "false") +
         R"(,"TaxImport":true,"UpdateParts":false,"AppendMode":true}],"Description":""})";
}

class SendAction : public ::testing::Test {
 protected:
  void SetUp() override {
    A = Host.Folder.File("a.json");
    WriteFileBytes(A, R"({"NettoPrices":true,"Order":[{"Adress":[{}],"Parts":[{"Position":"1","Quantity":"1",)"
                      R"("L2":"base64:QUJD"},{"Position":"2","Quantity":1}]}]})");
    B = Host.Folder.File("B.JSON");
    WriteFileBytes(B, R"({"Order":[{"Adress":[{}],"Parts":[{"Position":"7","Quantity":"1"}]}]})");
    Broken = Host.Folder.File("broken.json");
    WriteFileBytes(Broken, R"({"Order":[{"Adress":[{}],"Parts":[)");
    Text = Host.Folder.File("notiz.txt");
    WriteFileBytes(Text, R"({"Order":[{"Adress":[{}]}]})");
    Folder = Host.Folder.File("folder.json");
    CreateFolderTree(Folder);
  }

  TActionHost Host;
  std::string A, B, Broken, Text, Folder;
};

TEST_F(SendAction, SendsEveryReadableJsonFileInOrderAndGoesOnAfterABrokenOne) {
  Host.StartSimulator();
  const std::string missing = Host.Folder.File("missing.json");
  std::vector<TSendReport> report;
  EXPECT_TRUE(PostOrderFiles(Host.Context(), {A, missing, Broken, Folder, B, Text}, &report));
  const std::vector<std::pair<std::string, TSendResult>> expected = {
      {A, TSendResult::Delivered},      {missing, TSendResult::Missing}, {Broken, TSendResult::Unreadable},
      {Folder, TSendResult::Folder},    {B, TSendResult::Delivered},     {Text, TSendResult::NotJson}};
  ASSERT_EQ(report.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(report[i].FileName, expected[i].first);
    EXPECT_EQ(report[i].Result, expected[i].second) << expected[i].first;
    EXPECT_EQ(report[i].Reason.empty(), expected[i].second != TSendResult::Unreadable) << expected[i].first;
  }

  ASSERT_EQ(Host.TempFiles.Count(), 1);
  const std::string extracted = Host.TempFiles.Get(0);
  EXPECT_EQ(ReadFileBytes(extracted), "ABC");
  EXPECT_EQ(Host.OutData(), (std::vector<std::string>{ImportDocument({{"1", extracted}, {"2", ""}}, true),
                                                     ImportDocument({{"7", ""}}, false)}));
  EXPECT_EQ(Host.UI.Messages, std::vector<std::string>{kNotReadable + Broken});
  // The sound follows only the last entry, here a text file.
  EXPECT_EQ(Host.UI.Waves, 0);
  EXPECT_EQ(Host.CaptionUpdates, 1);
}

TEST_F(SendAction, SoundFollowsTheLastFile) {
  Host.StartSimulator();
  EXPECT_TRUE(PostOrderFiles(Host.Context(), {B}));
  EXPECT_EQ(Host.UI.Waves, 1);
  EXPECT_TRUE(Host.UI.Messages.empty());
  EXPECT_EQ(Host.OutData().size(), 1u);
}

TEST_F(SendAction, NothingGoesWhenTheOrderIsNotInEditMode) {
  Host.Options.EditMode = false;
  Host.StartSimulator();
  EXPECT_FALSE(PostOrderFiles(Host.Context(), {A, B}));
  ButtonWriteClick(Host.Context());
  EXPECT_EQ(Host.UI.Messages, std::vector<std::string>(2, kNotInEditMode));
  EXPECT_TRUE(Host.UI.Dialogs.empty());
  EXPECT_TRUE(Host.OutData().empty());
  EXPECT_EQ(Host.UI.Waves, 0);
  // And when there is no host at all.
  Host.StopSimulator();
  EXPECT_FALSE(PostOrderFiles(Host.Context(), {A}));
  EXPECT_EQ(Host.UI.Messages.size(), 3u);
}

TEST_F(SendAction, OpenDialogOffersTheCustomersFilesAndSendsTheChoice) {
  Host.Options.Customer = "47 11";
  Host.Options.CustomerGiven = true;
  Host.Options.Address = "M\xfcller: Bau";
  Host.Options.AddressGiven = true;
  Host.StartSimulator();
  Host.UI.DialogAnswers.push_back({B, A});
  ButtonWriteClick(Host.Context());

  ASSERT_EQ(Host.UI.Dialogs.size(), 1u);
  const TFileDialogRequest& request = Host.UI.Dialogs[0];
  EXPECT_FALSE(request.Save);
  EXPECT_EQ(request.DialogKey, "kastelo.VXJSONObject");
  EXPECT_EQ(request.FolderKey, "");
  EXPECT_EQ(request.Filter, "JSON File|*.json|JSON File f\xfc" "r Kundennummer 4711 [M\xfcller Bau]|*4711*.json");
  EXPECT_EQ(request.ProposedFileName, "");
  EXPECT_TRUE(request.MultiSelect);
  EXPECT_EQ(request.DefaultExt, "json");
  EXPECT_EQ(Host.OutData().size(), 2u);
  EXPECT_EQ(Host.UI.Waves, 1);
  // The caption is refreshed by the click and again by the send.
  EXPECT_EQ(Host.CaptionUpdates, 2);
}

TEST_F(SendAction, WithoutCustomerOnlyTheJsonFilterAndCancelSendsNothing) {
  Host.StartSimulator();
  ButtonWriteClick(Host.Context());
  ASSERT_EQ(Host.UI.Dialogs.size(), 1u);
  EXPECT_EQ(Host.UI.Dialogs[0].Filter, "JSON File|*.json");
  EXPECT_TRUE(Host.OutData().empty());
  EXPECT_TRUE(Host.UI.Messages.empty());
}

// The host's "SIMPLEGETJSON" answer in either shape, and what raises.
TEST(ReadCurrentCustomer, ReadsTheOrdersAddressOrTheBareMembers) {
  vx::test::UsePrivateTempRoot();
  const struct {
    const char* Answer;
    const char* Customer;
    const char* Address;
    bool Raises;
  } cases[] = {
      {R"({"Order":[{"Adress":[{"CustomerNumber":"4711","AdressSmart":"M\u00fcller"}]}]})", "4711", "M\xfcller", false},
      {R"({"CustomerNumber":"4711","AdressSmart":"Bau"})", "4711", "Bau", false},
      {R"({"CustomerNumber":"","AdressSmart":""})", "", "", false},
      {"", "", "", false},
      {R"({"Order":[]})", "", "", true},
      {R"({"Name":"x"})", "", "", true},
      {"not json", "", "", true},
  };
  for (const auto& c : cases) {
    const std::string name = vx::test::UniquePipeName("vx-customer");
    vx::test::TTestServer server(name, vx::test::AnswerText(c.Answer));
    SetServerName(name);
    if (c.Raises) {
      EXPECT_THROW(ReadCurrentCustomer(), Exception) << c.Answer;
    } else {
      const TCurrentCustomer customer = ReadCurrentCustomer();
      EXPECT_EQ(customer.CustomerNumber, c.Customer) << c.Answer;
      EXPECT_EQ(customer.AdressSmart, c.Address) << c.Answer;
    }
  }
  SetServerName("");
}

// Copy

class CopyAction : public ::testing::Test {
 protected:
  TActionHost Host;
};

TEST_F(CopyAction, PutsTheGridBlockUnderTheBusyCursor) {
  Host.HostOrder(R"({"UID":"","Order":[{"Adress":[{}],"Parts":[{"Quantity":"1"}]}]})");
  Host.StartSimulator();
  EXPECT_TRUE(CopyPositionsToClipboard(Host.Context()));

  ASSERT_EQ(Host.UI.Clipboard.size(), 1u);
  EXPECT_EQ(Host.UI.Clipboard[0].FormatName, "CF_DATAGRIDDATA");
  EXPECT_EQ(Host.UI.Clipboard[0].BusyDepth, 1);
  EXPECT_EQ(Host.UI.BusyDepth, 0);
  const std::string stream = std::string("TPF0\x15TDataGridLinesWrapper\x00\x0d" "DataGridLines\x0e\x01", 43) +
                             std::string("\x06Stueck\x06\x01" "1\x02" "DM\x08\x07Isnetto\x08\x03Row\x02\x00\x00\x00", 31) +
                             std::string("\x03Row\x02\xff\x00\x00", 8);
  ASSERT_EQ(stream.size(), 82u);
  EXPECT_EQ(Host.UI.Clipboard[0].Block, std::string("\x52\x00\x00\x00", 4) + stream);
  EXPECT_TRUE(Host.UI.Messages.empty());
  EXPECT_TRUE(TActionHost::HostTemporaryFiles().empty());
}

TEST_F(CopyAction, DeletesTheAttachmentOnlyOnceTheBlockIsOnTheClipboard) {
  const std::string attachment = Host.Folder.File("scan.png");
  WriteFileBytes(attachment, "ABC");
  Host.HostOrder(R"({"UID":"u","Order":[{"Adress":[{}],"Parts":[{"L2":)" + Quoted(attachment) + "}]}]}");
  Host.StartSimulator();

  Host.UI.ClipboardRefuses = true;
  try {
    CopyPositionsToClipboard(Host.Context());
    ADD_FAILURE() << "the refusal did not pass on";
  } catch (const Exception& error) {
    EXPECT_EQ(error.Message(), "Clipboard cannot be opened");
  }
  EXPECT_EQ(Host.UI.BusyDepth, 0);
  EXPECT_EQ(ReadFileBytes(attachment), "ABC");

  Host.UI.ClipboardRefuses = false;
  EXPECT_TRUE(CopyPositionsToClipboard(Host.Context()));
  ASSERT_EQ(Host.UI.Clipboard.size(), 1u);
  EXPECT_NE(Host.UI.Clipboard[0].Block.find("\x02L2\x06\x0b" "base64:QUJD"), std::string::npos);
  EXPECT_FALSE(FileIsPresent(attachment));
}

TEST_F(CopyAction, WithoutAnOrderCopiesNothingAndSaysNothing) {
  Host.StartSimulator();
  EXPECT_FALSE(CopyPositionsToClipboard(Host.Context()));
  Host.StopSimulator();
  EXPECT_FALSE(CopyPositionsToClipboard(Host.Context()));
  EXPECT_TRUE(Host.UI.Clipboard.empty());
  EXPECT_TRUE(Host.UI.Messages.empty());
  EXPECT_EQ(Host.UI.BusyDepth, 0);
}

TEST_F(CopyAction, BrokenOrderRaisesAndKeepsTheHostsFile) {
  Host.HostOrder(R"({"Order":[]})");
  Host.StartSimulator();
  EXPECT_THROW(CopyPositionsToClipboard(Host.Context()), Exception);
  EXPECT_EQ(Host.UI.BusyDepth, 0);
  EXPECT_TRUE(Host.UI.Clipboard.empty());
  EXPECT_EQ(TActionHost::HostTemporaryFiles().size(), 1u);
}

}  // namespace
}  // namespace vx
