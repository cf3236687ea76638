#include "ZipReader/InflatingFile.h"

#include <algorithm>
#include <cstring>

namespace harvex {

TInflatingFile::TInflatingFile(const TLoadContext& context) : Context(context) { Window = WindowBuf.data(); }

TInflatingFile::~TInflatingFile() { release_block_tables(Tables); }

bool TInflatingFile::OpenArchive(const std::string& fileName) {
  if (Archive) CloseArchive();
  TOpenedSource opened = Context.Open(fileName);
  OpenError = std::move(opened.Failure);
  Archive = std::move(opened.Source);
  return Archive != nullptr;
}

int TInflatingFile::ReadArchive(std::uint8_t* buffer, int count) {
  return static_cast<int>(Archive->Read(buffer, static_cast<std::size_t>(count)));
}

unsigned TInflatingFile::TakeDecodedSince(std::uint16_t start, void* out) {
  sync_crc();
  auto* target = static_cast<std::uint8_t*>(out);
  const unsigned produced = (WindowPos - start) & WindowMask;
  const unsigned beforeWrap = std::min<unsigned>(produced, WindowSize - start);
  std::memcpy(target, Window + start, beforeWrap);
  std::memcpy(target + beforeWrap, Window, produced - beforeWrap);
  return produced;
}

void TInflatingFile::CloseArchive() {
  if (!Archive) return;
  const std::unique_ptr<TByteSource> archive = std::move(Archive);
  InputFile = nullptr;
  archive->Close();
}

}  // namespace harvex
