// Arbitrary bytes read as a gzip file, line by line, from memory, and
// checked against zlib's own reading of the same bytes: wherever zlib finds
// whole members with matching trailers and nothing else, the reader must
// give the same text and call it intact. (The reader may call intact what
// zlib refuses: it does not check the optional header CRC.)
#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "TextFile/TextFile.h"
#include "ZipReader/GzipReader.h"

namespace {

constexpr const char* Name = "fuzz.out.gz";

// zlib's text of the concatenated members, and whether every byte belonged
// to a member whose trailer matched.
struct TZlibReading {
  std::string Text;
  bool Intact = false;
};

TZlibReading ReadWithZlib(std::string_view bytes) {
  TZlibReading reading;
  z_stream stream{};
  if (inflateInit2(&stream, 16 + MAX_WBITS) != Z_OK) return reading;
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
  stream.avail_in = static_cast<uInt>(bytes.size());
  char out[16384];
  int status = Z_OK;
  while (status == Z_OK || (status == Z_STREAM_END && stream.avail_in > 0)) {
    if (status == Z_STREAM_END) inflateReset(&stream);
    stream.next_out = reinterpret_cast<Bytef*>(out);
    stream.avail_out = sizeof out;
    status = inflate(&stream, Z_NO_FLUSH);
    reading.Text.append(out, sizeof out - stream.avail_out);
    if (status == Z_BUF_ERROR && stream.avail_in == 0) break;
  }
  reading.Intact = status == Z_STREAM_END && stream.avail_in == 0;
  inflateEnd(&stream);
  return reading;
}

// The text as the line reader sees it: CRs dropped, lines cut at the cap.
std::string AsLines(const std::string& text) {
  std::string lines;
  std::string line;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    line = text.substr(start, end - start);
    std::erase(line, '\r');
    (lines += line.substr(0, harvex::MaxLineLength)) += '\n';
    start = end + 1;
  }
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  harvex::TGzipReader reader(harvex::WithMemoryFile({}, Name, bytes));
  if (!reader.Open(Name)) return 0;
  std::string lines;
  std::string line;
  while (!reader.Eof() && reader.ReadLine(line)) (lines += line) += '\n';
  const bool intact = reader.CrcOk();
  reader.CloseArchive();
  const TZlibReading zlib = ReadWithZlib(bytes);
  if (zlib.Intact && (!intact || lines != AsLines(zlib.Text))) __builtin_trap();
  return 0;
}
