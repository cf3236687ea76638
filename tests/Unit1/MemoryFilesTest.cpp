// Files held in memory load as their copies on disk do: every value of the
// model, every box, for each kind of source a load meets.
#include <gtest/gtest.h>

#include "ModelJson/ModelJson.h"
#include "RecordingDesktop.h"
#include "Unit1/Unit1.h"
#include "common/TempDir.h"

namespace harvex {
namespace {

using testing::TRecordingDesktop;

struct TLoaded {
  TModelJson Model;
  std::vector<testing::TMessage> Boxes;
};

TLoaded Load(const std::string& name, const TLoadContext& context, TRecordingDesktop& desktop) {
  const std::unique_ptr<TCoordinateFile_cdf> file = LoadForReport(name, context);
  TModelJson model = ModelToJson({}, *file);
  model.erase("FileName");
  return {std::move(model), desktop.Messages};
}

TEST(MemoryFiles, LoadAsTheirCopiesOnDisk) {
  for (const char* relative : {"gaussian/dvb_ir.out", "geometry/orca/Orca_scf_error.out", "zip/orca_member.zip",
                               "zip/streamed_descriptor.zip", "geometry/input/pentane_gjf.gjf",
                               "geometry/input/ethane_coords.xyz"}) {
    const std::string path = testing::TestDataPath(relative);
    TRecordingDesktop onDisk;
    const TLoaded fromDisk = Load(path, onDisk, onDisk);
    TRecordingDesktop inMemory;
    const TLoaded fromMemory = Load(path, WithMemoryFile(inMemory, path, testing::ReadWholeFile(path)), inMemory);
    EXPECT_EQ(fromMemory.Model, fromDisk.Model) << relative;
    EXPECT_EQ(fromMemory.Boxes, fromDisk.Boxes) << relative;
  }
}

// A name held in memory is never looked for on disk, where nothing of that
// name exists.
TEST(MemoryFiles, ShadowTheFileSystem) {
  TRecordingDesktop desktop;
  const std::string name = "/nonexistent/folder/water.out";
  const std::string text = testing::ReadWholeFile(testing::TestDataPath("gaussian/CH4.out"));
  const std::unique_ptr<TCoordinateFile_cdf> file = LoadForReport(name, WithMemoryFile(desktop, name, text));
  EXPECT_TRUE(file->Info.EnergyRead);
  EXPECT_TRUE(desktop.Messages.empty());
}

}  // namespace
}  // namespace harvex
