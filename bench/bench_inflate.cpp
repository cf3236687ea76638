// Throughput of reading a deflated archive member line by line, against zlib.
//
//   bench_inflate ARCHIVE.zip [ROUNDS]
//
// Ours: TZippedFilesReader on the archive's first ".out" member, through
// ReadLine to the end, CRC-32 checked. Reference: zlib's inflate on the same
// member driven in the same shape: 2,048-byte input reads, the output taken
// 515 bytes at a time, CRC-32 over it. The two alternate for ROUNDS rounds
// (default 3); the best time of each is reported in MB/s of decoded text.
// Times are the process's CPU time, which a busy shared machine disturbs
// less than the wall clock.
#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <time.h>

#include <fcntl.h>
#include <unistd.h>

#include "ZipReader/ZipReader.h"

namespace {

double CpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

struct TRun {
  double Seconds = 0;
  std::uint64_t Bytes = 0;
  bool CrcOk = false;
};

TRun ReadWithHarvex(const std::string& archive) {
  const double begin = CpuSeconds();
  harvex::TZippedFilesReader reader;
  reader.Open(archive);
  std::string name;
  TRun run;
  if (!reader.FindMember(".out", name)) return run;
  reader.StartMember();
  std::string line;
  while (!reader.Eof()) {
    reader.ReadLine(line);
    run.Bytes += line.size() + 1;
  }
  run.CrcOk = reader.CrcOk();
  reader.CloseArchive();
  run.Seconds = CpuSeconds() - begin;
  return run;
}

std::uint32_t Le32(const unsigned char* p) {
  return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

// Positions the file at the data of its first member, which must be
// deflated, and returns the member's CRC-32.
bool SeekFirstMember(int file, std::uint32_t& crc) {
  std::array<unsigned char, 30> header{};
  if (::read(file, header.data(), header.size()) != static_cast<ssize_t>(header.size())) return false;
  if (Le32(header.data()) != 0x04034B50 || (header[8] | header[9] << 8) != 8) return false;
  crc = Le32(header.data() + 14);
  const off_t skip = (header[26] | header[27] << 8) + (header[28] | header[29] << 8);
  return ::lseek(file, skip, SEEK_CUR) >= 0;
}

TRun ReadWithZlib(const std::string& archive) {
  const double begin = CpuSeconds();
  TRun run;
  const int file = ::open(archive.c_str(), O_RDONLY);
  std::uint32_t expected = 0;
  if (file < 0 || !SeekFirstMember(file, expected)) {
    if (file >= 0) ::close(file);
    return run;
  }
  z_stream stream{};
  inflateInit2(&stream, -MAX_WBITS);
  std::array<unsigned char, 2048> input{};
  std::array<unsigned char, 515> output{};
  uLong crc = crc32(0, nullptr, 0);
  int status = Z_OK;
  while (status == Z_OK) {
    if (stream.avail_in == 0) {
      const ssize_t got = ::read(file, input.data(), input.size());
      if (got <= 0) break;
      stream.avail_in = static_cast<uInt>(got);
      stream.next_in = input.data();
    }
    stream.next_out = output.data();
    stream.avail_out = output.size();
    status = inflate(&stream, Z_NO_FLUSH);
    const auto produced = static_cast<uInt>(output.size() - stream.avail_out);
    crc = crc32(crc, output.data(), produced);
    run.Bytes += produced;
  }
  inflateEnd(&stream);
  ::close(file);
  run.CrcOk = status == Z_STREAM_END && crc == expected;
  run.Seconds = CpuSeconds() - begin;
  return run;
}

double MegabytesPerSecond(const TRun& run) { return run.Bytes / 1e6 / run.Seconds; }

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s ARCHIVE.zip [ROUNDS]\n", argv[0]);
    return 2;
  }
  const std::string archive = argv[1];
  const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
  TRun ours;
  TRun zlib;
  for (int round = 0; round < rounds; ++round) {
    const TRun a = ReadWithHarvex(archive);
    const TRun b = ReadWithZlib(archive);
    if (!a.CrcOk || !b.CrcOk) {
      std::fprintf(stderr, "CRC-32 mismatch (harvex %d, zlib %d)\n", a.CrcOk, b.CrcOk);
      return 1;
    }
    if (round == 0 || a.Seconds < ours.Seconds) ours = a;
    if (round == 0 || b.Seconds < zlib.Seconds) zlib = b;
  }
  std::printf("harvex ReadLine : %8.1f MB/s (%.3f s, %llu bytes)\n", MegabytesPerSecond(ours),
              ours.Seconds, static_cast<unsigned long long>(ours.Bytes));
  std::printf("zlib inflate    : %8.1f MB/s (%.3f s, %llu bytes)\n", MegabytesPerSecond(zlib),
              zlib.Seconds, static_cast<unsigned long long>(zlib.Bytes));
  std::printf("ratio           : %8.3f\n", MegabytesPerSecond(ours) / MegabytesPerSecond(zlib));
  return 0;
}
