// textpath: gives each evaluated element a part of its text read as a Windows path, as Python's
// ntpath reads one: its Directory and Name as ntpath.split gives them, and the Stem and
// Extension of the name as ntpath.splitext gives them. Both / and \ separate, each kept as the
// text wrote it; a drive ("C:", any one character and a colon) or a UNC root ("//server/share",
// "\\?\UNC\server\share") stays in the directory whole. Every part is a view into the text:
// nothing is copied.
//
//   "C:/cache/sim_0042.bgeo" -> "C:/cache", "sim_0042.bgeo", "sim_0042", ".bgeo"
//   "a.tar.gz"               -> "", "a.tar.gz", "a.tar", ".gz"
//   "C:\\.bashrc"            -> "C:\\", ".bashrc", ".bashrc", ""
//   "//server/share/x.txt"   -> "//server/share/", "x.txt", "x", ".txt"
#pragma once

#include <string_view>

#include "frame/node.h"

namespace textpath {

struct TextPath {
  static constexpr frame::NodeTable<1, 4> table{
      .name = L"textpath",
      .reading = frame::Reading::at_each_element,
      .inputs = {{
          // The path.
          {0, L"String", frame::kText, frame::kOnePerElement,
           frame::text_value(L"C:/cache/sim_0042.bgeo")},
      }},
      .outputs = {{
          // Everything before the last separator (its drive and root kept whole), without the
          // separators that end it unless they are all it is.
          {200, L"Directory", frame::kText, frame::kOnePerElement},
          // Everything after the last separator.
          {201, L"Name", frame::kText, frame::kOnePerElement},
          // The name without its extension.
          {202, L"Stem", frame::kText, frame::kOnePerElement},
          // The name's last dot and what follows it, where a character other than a dot comes
          // before that dot; else empty.
          {203, L"Extension", frame::kText, frame::kOnePerElement},
      }},
  };

  // Parts of the text, in time linear in its length.
  static std::wstring_view compute(frame::Output<0>, std::wstring_view path);
  static std::wstring_view compute(frame::Output<1>, std::wstring_view path);
  static std::wstring_view compute(frame::Output<2>, std::wstring_view path);
  static std::wstring_view compute(frame::Output<3>, std::wstring_view path);
};

}  // namespace textpath
