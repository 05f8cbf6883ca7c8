#include "SplitFields.h"

#include <cstring>

namespace tabrook {

// The plain byte-by-byte form of the rule; SplitFieldsInto is the fast form and the tests hold
// the two to the same results.
std::string SplitFields(std::string_view line, char sep, char delim, DoubleByteCode code) {
  const bool hasDelim = delim != '\0';
  const bool hasSep = sep != '\0';
  std::string out;
  out.reserve(line.size() + 1);
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    const std::size_t width = CharLength(code, line.data() + i, line.data() + line.size());
    if (width > 1) {  // a multibyte character is copied whole, whatever its later bytes are
      out.append(line.data() + i, width);
      i += width - 1;
    } else if (hasDelim && c == delim) {
      if (quoted && i + 1 < line.size() && line[i + 1] == delim) {
        out += c;  // a doubled delimiter inside quotes is one delimiter character
        ++i;
      } else {
        quoted = !quoted;
      }
    } else if (hasSep && c == sep && !quoted) {
      out += '\n';
    } else {
      out += c;
    }
  }
  if (!out.empty()) out += '\n';
  return out;
}

namespace {

std::string& Slot(std::vector<std::string>& fields, std::size_t index) {
  if (index == fields.size()) fields.emplace_back();
  std::string& field = fields[index];
  field.clear();
  return field;
}

// The first byte at or after p that is a or b; end when there is none.
const char* FindEither(const char* p, const char* end, char a, char b) {
  if (a == b) {
    const void* hit = std::memchr(p, a, static_cast<std::size_t>(end - p));
    return hit ? static_cast<const char*>(hit) : end;
  }
  while (p < end && *p != a && *p != b) ++p;
  return p;
}

// The same, stepping over whole characters, so that a byte inside a character never matches.
const char* FindEitherWhole(const char* p, const char* end, char a, char b, DoubleByteCode code) {
  while (p < end && *p != a && *p != b) p += CharLength(code, p, end);
  return p;
}

}  // namespace

void SplitFieldsInto(std::string_view line, char sep, char delim, std::vector<std::string>& fields,
                     DoubleByteCode code) {
  const bool hasDelim = delim != '\0';
  const bool hasSep = sep != '\0';
  // Characters need walking only when a byte looked for can stand inside one.
  const bool whole = (hasSep && CanBeInsideCharacter(code, sep)) || (hasDelim && CanBeInsideCharacter(code, delim));
  std::size_t count = 0;
  bool quoted = false;
  bool anyOutput = false;
  std::string* field = &Slot(fields, 0);
  const char* p = line.data();
  const char* const end = p + line.size();
  while (p < end) {
    // Copy the run of ordinary bytes in one go: this is the hot path of an import.
    const char* q = end;
    if (whole) {
      q = quoted ? FindEitherWhole(p, end, delim, delim, code)
                 : FindEitherWhole(p, end, hasSep ? sep : delim, hasDelim ? delim : sep, code);
    } else if (quoted) {
      q = FindEither(p, end, delim, delim);
    } else if (hasSep || hasDelim) {
      q = FindEither(p, end, hasSep ? sep : delim, hasDelim ? delim : sep);
    }
    if (q > p) {
      field->append(p, q);
      anyOutput = true;
    }
    p = q;
    if (p == end) break;
    if (hasDelim && *p == delim) {
      if (quoted && p + 1 < end && p[1] == delim) {
        *field += delim;
        anyOutput = true;
        p += 2;
      } else {
        quoted = !quoted;
        ++p;
      }
    } else {  // an unquoted separator ends the field
      anyOutput = true;
      field = &Slot(fields, ++count);
      ++p;
    }
  }
  fields.resize(anyOutput ? count + 1 : 0);
}

}  // namespace tabrook
