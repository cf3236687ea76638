// The file names the program takes as inputs, in one table: what loading
// does with each extension, which of them a folder walk picks up and which
// the window's file dialog offers. Extensions are compared upper-cased.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace harvex {

enum class TInputKind : std::uint8_t {
  Output,         // a Gaussian or ORCA output, also gzipped as NAME.out.gz
  Archive,        // a ZIP archive holding an output
  GaussianInput,  // a GJF input: its geometry
  XyzGeometry,    // an XYZ file
  Conformer,      // a conformer description
};

struct TInputExtension {
  std::string_view Upper;  // ".OUT"
  TInputKind Kind;
  bool Walked;  // a folder stands for the files of this extension in and below it
};

// Gaussian names its output NAME.log on Linux and NAME.out elsewhere.
inline constexpr std::array<TInputExtension, 6> InputExtensions = {{
    {".OUT", TInputKind::Output, true},
    {".LOG", TInputKind::Output, true},
    {".ZIP", TInputKind::Archive, true},
    {".GJF", TInputKind::GaussianInput, false},
    {".XYZ", TInputKind::XyzGeometry, false},
    {".CDF", TInputKind::Conformer, true},
}};

// Only outputs are read gzipped, by the name under this extension.
inline constexpr std::string_view GzipExtension = ".GZ";

// The entry of an upper-cased extension; none for a file that is no input.
constexpr std::optional<TInputExtension> InputExtensionOf(std::string_view upperExtension) {
  for (const TInputExtension& entry : InputExtensions)
    if (entry.Upper == upperExtension) return entry;
  return std::nullopt;
}

constexpr bool IsInputKind(std::string_view upperExtension, TInputKind kind) {
  const std::optional<TInputExtension> entry = InputExtensionOf(upperExtension);
  return entry && entry->Kind == kind;
}

// The file dialog's patterns of one kind, blank-separated and lower-cased:
// "*.out *.log", then the gzipped ones of outputs ("*.out.gz *.log.gz").
inline std::string DialogPatterns(TInputKind kind) {
  std::string patterns;
  const auto add = [&](std::string_view upper, std::string_view gzip) {
    if (!patterns.empty()) patterns += ' ';
    patterns += '*';
    for (const std::string_view part : {upper, gzip})
      for (const char c : part) patterns += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  };
  for (const TInputExtension& entry : InputExtensions)
    if (entry.Kind == kind) add(entry.Upper, {});
  if (kind == TInputKind::Output)
    for (const TInputExtension& entry : InputExtensions)
      if (entry.Kind == kind) add(entry.Upper, GzipExtension);
  return patterns;
}

}  // namespace harvex
