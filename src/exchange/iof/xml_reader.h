// Reading an IOF XML 3.0 message as a stream.
//
// The reader checks the envelope (the root element is a message of the data standard, in its
// namespace, with iofVersion="3.0") and hands each element under the root to the caller as a
// small tree, one at a time, so that memory follows the largest record and not the file.
//
// Untrusted input: a file larger than kMaxIofFileBytes is refused before it is read; a document
// type declaration is refused (the data standard has none, and it is where external entities and
// entity expansion come from), so no entity is ever resolved or expanded; elements nested deeper
// than kMaxDepth are refused. Every refusal is a message, never a crash.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/text.h"

namespace olbrax::iof {

inline constexpr std::string_view kNamespace = "http://www.orienteering.org/datastandard/3.0";
// 32 MB: a ResultList with split times of the program's 3 200 entrants is about 10 MB.
inline constexpr std::int64_t kMaxIofFileBytes = 32LL * 1024 * 1024;
inline constexpr int kMaxDepth = 40;

// One element with its attributes, text and children; names without namespace prefix, texts in
// UTF-8 as the file holds them.
struct XmlElement {
  std::string name;
  std::vector<std::pair<std::string, std::string>> attributes;
  std::string text;
  std::vector<XmlElement> children;

  const XmlElement* Child(std::string_view child_name) const;
  // The text of the first child of that name ("" when there is none).
  std::string ChildText(std::string_view child_name) const;
  std::string Attribute(std::string_view attribute_name) const;
  // Every child of that name.
  std::vector<const XmlElement*> All(std::string_view child_name) const;
};

struct IofMessage {
  std::string root;     // "EntryList", "CourseData" ...
  std::string creator;  // the creator attribute, if any
};

// Reads the message in `path` (Windows-1252 path). `on_record` receives every element under the
// root in document order. False with `error` (Windows-1252, for the user) when the file cannot be
// read or is not a message of the data standard; the records handed over before the failure must
// then be thrown away by the caller.
bool ReadIofMessage(std::string_view path, IofMessage& message,
                    const std::function<void(const XmlElement&)>& on_record, Text& error);

// The message roots the import reads.
bool IsImportedRoot(std::string_view root);

}  // namespace olbrax::iof
