// The folder walk: which files a folder stands for, in which order, and what
// is said about the folders it cannot use.
#include <gtest/gtest.h>

#include <filesystem>
#include <utility>

#include "FolderWalk/PathCollection.h"
#include "common/TempDir.h"

namespace harvex {
namespace {

namespace fs = std::filesystem;

TEST(NaturalPathLess, DigitRunsCompareByValueAndFoldersAsAWhole) {
  const std::pair<const char*, const char*> ordered[] = {
      {"conf2.out", "conf10.out"}, {"conf007.out", "conf7.out"},  // level by value, then by the bytes
      {"a/z.out", "a0.out"},       {"run9/b.out", "run10/a.out"}, {"A.out", "a.out"},
      {"x.out", "x1.out"},
  };
  for (const auto& [first, second] : ordered) {
    EXPECT_TRUE(NaturalPathLess(first, second)) << first << " < " << second;
    EXPECT_FALSE(NaturalPathLess(second, first)) << second << " < " << first;
  }
}

TEST(CollectPaths, FolderStandsForTheInputsTheWalkTakes) {
  testing::TTempDir scratch;
  for (const char* name : {"w/c10.out", "w/c9.LOG", "w/a.Zip", "w/d.cdf", "w/e.out.gz", "w/f.LOG.GZ", "w/s/g.out",
                           "w/skip.gjf", "w/skip.xyz", "w/skip.txt", "w/skip.txt.gz", "w/skip.gz", "w/skip"})
    scratch.Write(name, "text\n");
  fs::create_directory(scratch.Path() / "w/dir.out");  // a folder is walked, never taken
  fs::create_directory_symlink(scratch.Path() / "w/s", scratch.Path() / "w/linked");
  fs::create_symlink(scratch.Path() / "w/c9.LOG", scratch.Path() / "w/link.out");
  fs::create_directory(scratch.Path() / "empty");
  std::vector<std::pair<std::string, std::string>> errors;
  const auto onError = [&](const std::string& folder, const std::string& reason) { errors.emplace_back(folder, reason); };
  const std::string w = scratch.PathOf("w");
  const std::vector<std::string> paths = CollectPaths({"given.txt", w, scratch.PathOf("empty")}, onError);
  const std::vector<std::string> expected = {"given.txt",     w + "/a.Zip",      w + "/c9.LOG", w + "/c10.out",
                                             w + "/d.cdf",    w + "/e.out.gz",   w + "/f.LOG.GZ",
                                             w + "/link.out", w + "/s/g.out"};
  EXPECT_EQ(paths, expected);
  ASSERT_EQ(errors.size(), 1U);
  EXPECT_EQ(errors[0], std::make_pair(scratch.PathOf("empty"), std::string("the folder holds no output")));
}

TEST(CollectPaths, LinkLoopIsNamedAndTheWalkGoesOn) {
  testing::TTempDir scratch;
  scratch.Write("w/a.out", "text\n");
  fs::create_symlink(scratch.Path() / "w/loop.out", scratch.Path() / "w/loop.out");
  std::vector<std::string> named;
  const std::vector<std::string> paths =
      CollectPaths({scratch.PathOf("w")}, [&](const std::string& folder, const std::string&) { named.push_back(folder); });
  EXPECT_EQ(paths, std::vector<std::string>{scratch.PathOf("w/a.out")});
  EXPECT_EQ(named, std::vector<std::string>{scratch.PathOf("w/loop.out")});
}

// A file is shown as the argument that named it was given: below a relative
// argument relative to the start folder, otherwise as it stands.
TEST(ShownPaths, FollowTheArgumentThatNamedTheFile) {
  const std::string start = fs::current_path().string();
  const TShownPaths shown({"runs", "../up/a.out", "/abs/b.out", "list.txt", "ru"});
  const std::pair<std::string, std::string> cases[] = {
      {start + "/runs/conf1.out", "runs/conf1.out"},
      {start + "/runs/sub/x.cdf", "runs/sub/x.cdf"},
      {fs::path(start).parent_path().string() + "/up/a.out", "../up/a.out"},
      {"/abs/b.out", "/abs/b.out"},
      {"/elsewhere/named/by/the/list.out", "/elsewhere/named/by/the/list.out"},
      // "ru" names no folder that "runs2" is in.
      {start + "/runs2/c.out", start + "/runs2/c.out"},
  };
  for (const auto& [path, expected] : cases) EXPECT_EQ(shown(path), expected) << path;
}

}  // namespace
}  // namespace harvex
