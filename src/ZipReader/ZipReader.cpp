#include "ZipReader/ZipReader.h"

#include "rtl/Desktop.h"

namespace harvex {

// Placeholder until the archive reader lands: no archive holds a member.
TZippedFilesReader::TZippedFilesReader() = default;
TZippedFilesReader::~TZippedFilesReader() = default;
void TZippedFilesReader::Open(const std::string&) {}
bool TZippedFilesReader::FindMember(const std::string&, std::string&) { return false; }
bool TZippedFilesReader::StartMember() { return false; }
bool TZippedFilesReader::ReadLine(std::string&) { return false; }
bool TZippedFilesReader::Eof() const { return true; }
bool TZippedFilesReader::CrcOk() const { return true; }
void TZippedFilesReader::CloseArchive() {}
void TZippedFilesReader::ShowError(const std::string& message) {
  Desktop().ShowMessage("TZippedFilesReader", message);
}

}  // namespace harvex
