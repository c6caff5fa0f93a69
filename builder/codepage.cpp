#include "builder/codepage.h"

#include <iconv.h>

#include <cstdio>

static bool Convert(const char* to, const char* from, const std::string& in, std::string& out) {
  iconv_t convert = iconv_open(to, from);
  if (convert == iconv_t(-1)) return false;
  out.assign(in.size() * 4 + 8, '\0');
  char* source = const_cast<char*>(in.data());
  size_t sourceLeft = in.size();
  char* target = &out[0];
  size_t targetLeft = out.size();
  size_t result = iconv(convert, &source, &sourceLeft, &target, &targetLeft);
  iconv_close(convert);
  out.resize(out.size() - targetLeft);
  return result != size_t(-1);
}

bool Utf8ToCp936(const std::string& utf8, std::string& cp936) { return Convert("CP936", "UTF-8", utf8, cp936); }

std::string Cp936ToUtf8(const std::string& cp936) {
  std::string out;
  if (Convert("UTF-8", "CP936", cp936, out)) return out;
  // Convert what converts, one character at a time, and escape the rest.
  out.clear();
  for (size_t i = 0; i < cp936.size();) {
    size_t width = (unsigned char)cp936[i] >= 0x81 && i + 1 < cp936.size() ? 2 : 1;
    std::string piece;
    if (Convert("UTF-8", "CP936", cp936.substr(i, width), piece) && !piece.empty()) {
      out += piece;
      i += width;
    } else {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\x%02X", (unsigned char)cp936[i]);
      out += escape;
      i++;
    }
  }
  return out;
}
