// What another process or user could put in the program's way: a FIFO or
// device where a file is read, and a temporary folder on a machine that
// other users share.
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <vector>

#include "support/errors.h"
#include "support/fifo_posix.h"
#include "support/file_io.h"
#include "support/folders.h"
#include "support/os_file.h"
#include "support/pause.h"
#include "support/streams.h"
#include "support/temp_folder.h"

namespace vx {
namespace {

using testing::TFifo;
using testing::TTempFolder;

std::vector<int> gPauses;
void RecordPause(int milliseconds) { gPauses.push_back(milliseconds); }

TEST(NonRegularFiles, AreRefusedAtOnceByEveryReader) {
  TTempFolder folder;
  TFifo fifo(folder.File("order.json"));
  gPauses.clear();
  const TPauseFunction previous = SetPauseFunction(&RecordPause);

  for (const std::string& path : {fifo.Path, folder.Path(), std::string("/dev/zero")}) {
    TOsFile file;
    EXPECT_FALSE(file.Open(path, TOpenMode::ReadShared)) << path;
    EXPECT_EQ(file.LastError, kErrorBadFileType) << path;
  }
  struct TReader {
    const char* What;
    std::function<void()> Run;
  };
  const TReader readers[] = {
      {"LoadStreamRetry",
       [&] {
         TMemoryStream stream;
         LoadStreamRetry(stream, fifo.Path);
       }},
      {"LoadStringsRetry",
       [&] {
         TStringList lines;
         LoadStringsRetry(lines, fifo.Path);
       }},
      {"TMappedFileStream", [&] { TMappedFileStream stream(fifo.Path); }},
      {"CopyFileRetry", [&] { CopyFileRetry(fifo.Path, folder.File("copy.json")); }},
  };
  for (const TReader& reader : readers) {
    try {
      reader.Run();
      ADD_FAILURE() << reader.What << ": no error";
    } catch (const ENotRegularFile& error) {
      EXPECT_EQ(error.Message(), "Datei " + fifo.Path + " ist keine regul\xe4re Datei") << reader.What;
    }
  }
  EXPECT_TRUE(gPauses.empty());
  SetPauseFunction(previous);
}

// Sets an environment variable for one scope (empty: unset) and puts the
// old value back.
class TEnvironmentValue {
 public:
  TEnvironmentValue(const char* name, const std::string& value) : FName(name) {
    const char* old = std::getenv(name);
    FHadValue = old != nullptr;
    if (old) FOld = old;
    Set(value);
  }
  ~TEnvironmentValue() {
    if (FHadValue) {
      ::setenv(FName, FOld.c_str(), 1);
    } else {
      ::unsetenv(FName);
    }
  }
  void Set(const std::string& value) {
    if (value.empty()) {
      ::unsetenv(FName);
    } else {
      ::setenv(FName, value.c_str(), 1);
    }
  }

 private:
  const char* FName;
  std::string FOld;
  bool FHadValue = false;
};

struct TOwnerAndMode {
  uid_t Owner = 0;
  mode_t Mode = 0;
};

TOwnerAndMode OwnerAndMode(const std::string& path) {
  struct stat info {};
  ::lstat(path.c_str(), &info);
  return {info.st_uid, static_cast<mode_t>(info.st_mode & 07777)};
}

std::string TempFolderError(const std::function<void()>& run) {
  try {
    run();
  } catch (const EInOutError& error) {
    return error.Message();
  }
  return "no error";
}

// The uid of "nobody" when this process may act as it (it runs as root).
bool SecondUser(uid_t& uid, gid_t& gid) {
  const passwd* nobody = ::getpwnam("nobody");
  if (::geteuid() != 0 || !nobody) return false;
  uid = nobody->pw_uid;
  gid = nobody->pw_gid;
  return true;
}

class TempFolder : public ::testing::Test {
 protected:
  TTempFolder Base;  // made before the variables below change the rules
  TEnvironmentValue Temp{"TMPDIR", Base.File("temp")};
  TEnvironmentValue Runtime{"XDG_RUNTIME_DIR", ""};
};

TEST_F(TempFolder, BelongsToTheUserAloneWhereverItIs) {
  const std::string perUid = "/tmp/VXTempDir-" + std::to_string(::geteuid()) + "/";
  struct TCase {
    std::string Temp;
    std::string Runtime;
    std::string Expected;
  };
  const TCase cases[] = {
      {Base.File("temp"), Base.File("run"), Base.File("temp") + "/VXTempDir/"},
      {"", Base.File("run"), Base.File("run") + "/VXTempDir/"},
      {"", "", perUid},
  };
  const mode_t oldMask = ::umask(0);
  for (const TCase& c : cases) {
    Temp.Set(c.Temp);
    Runtime.Set(c.Runtime);
    ASSERT_EQ(GetTempFolder(), c.Expected);
    EXPECT_EQ(GetTempFolder("pipe"), c.Expected + "pipe/");
    for (const std::string& folder : {c.Expected, c.Expected + "pipe/"}) {
      EXPECT_EQ(OwnerAndMode(folder).Owner, ::geteuid()) << folder;
      EXPECT_EQ(OwnerAndMode(folder).Mode, 0700u) << folder;
    }
    // An attachment on its way to the host: the name is taken as a private
    // file, and writing into it keeps it so.
    const std::string attachment = NewTempFileName();
    TMemoryStream content;
    content.WriteText("customer data");
    SaveStreamRetry(content, attachment);
    EXPECT_EQ(OwnerAndMode(attachment).Mode, 0600u) << attachment;
    const std::string hostFile = NewTempFileName(".json");
    EXPECT_EQ(OwnerAndMode(hostFile).Mode, 0600u) << hostFile;
    DeleteFileIfPresent(attachment);
    DeleteFileIfPresent(hostFile);
  }
  ::umask(oldMask);
  std::error_code ignored;
  std::filesystem::remove(perUid + "pipe", ignored);
}

TEST_F(TempFolder, ThatOthersCouldControlIsRefused) {
  const std::string folder = Base.File("temp") + "/VXTempDir/";
  const std::string prefix = "Tempor\xe4res Verzeichnis " + folder;
  GetTempFolder();
  ASSERT_EQ(::chmod(folder.c_str(), 0777), 0);
  EXPECT_EQ(TempFolderError([] { GetTempFolder(); }), prefix + " ist f\xfcr andere Benutzer beschreibbar");
  ASSERT_EQ(::chmod(folder.c_str(), 0770), 0);
  EXPECT_EQ(TempFolderError([] { GetTempFolder(); }), prefix + " ist f\xfcr andere Benutzer beschreibbar");
  ASSERT_EQ(::chmod(folder.c_str(), 0700), 0);
  EXPECT_EQ(GetTempFolder(), folder);
  const std::string pipes = folder + "pipe/";
  GetTempFolder("pipe");
  ASSERT_EQ(::chmod(pipes.c_str(), 0733), 0);
  EXPECT_EQ(TempFolderError([] { GetTempFolder("pipe"); }),
            "Tempor\xe4res Verzeichnis " + pipes + " ist f\xfcr andere Benutzer beschreibbar");

  // A link put in its place, even to a folder of this user, is not used.
  std::filesystem::remove_all(folder);
  std::filesystem::create_directory(Base.File("elsewhere"));
  std::filesystem::create_directory_symlink(Base.File("elsewhere"), RemoveBackslash(folder));
  EXPECT_EQ(TempFolderError([] { GetTempFolder(); }), prefix + " ist kein Verzeichnis");
}

// Others may not even look into a folder of one's own: the service file
// there names the host's pipe, and attachments wait there for the host.
TEST_F(TempFolder, OfOneselfIsClosedToOthers) {
  const std::string folder = Base.File("temp") + "/VXTempDir/";
  const std::string pipes = folder + "pipe/";
  GetTempFolder("pipe");
  for (const mode_t mode : {0755, 0750, 0711, 0705, 0500, 02700}) {
    for (const std::string& level : {folder, pipes}) {
      ASSERT_EQ(::chmod(level.c_str(), mode), 0);
      EXPECT_EQ(GetTempFolder("pipe"), pipes) << std::oct << mode;
      EXPECT_EQ(OwnerAndMode(level).Mode, 0700u) << level << " " << std::oct << mode;
    }
  }
}

// Another user gets there first, as on a shared /tmp: the folder it made,
// however open, is refused.
TEST_F(TempFolder, OfAnotherUserIsRefused) {
  uid_t uid = 0;
  gid_t gid = 0;
  if (!SecondUser(uid, gid)) GTEST_SKIP() << "needs a second user id (run as root)";
  char shared[] = "/tmp/vx-shared-XXXXXX";
  ASSERT_NE(::mkdtemp(shared), nullptr);
  ASSERT_EQ(::chmod(shared, 01777), 0);
  const std::string folder = std::string(shared) + "/VXTempDir";
  const pid_t child = ::fork();
  if (child == 0) {
    const bool made = ::setgid(gid) == 0 && ::setuid(uid) == 0 && ::mkdir(folder.c_str(), 0777) == 0 &&
                      ::chmod(folder.c_str(), 0755) == 0;
    ::_exit(made ? 0 : 1);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  ASSERT_EQ(OwnerAndMode(folder).Owner, uid);

  Temp.Set(shared);
  EXPECT_EQ(TempFolderError([] { GetTempFolder(); }),
            "Tempor\xe4res Verzeichnis " + folder + "/ geh\xf6rt einem anderen Benutzer");
  EXPECT_EQ(TempFolderError([] { NewTempFileName(); }),
            "Tempor\xe4res Verzeichnis " + folder + "/ geh\xf6rt einem anderen Benutzer");
  std::error_code ignored;
  std::filesystem::remove_all(shared, ignored);
}

}  // namespace
}  // namespace vx
