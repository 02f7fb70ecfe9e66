// The text encodings an e-mail needs: Base64 for authentication, quoted-
// printable for a UTF-8 body of any line length, and the DATA block with its
// dot-stuffing.
#pragma once
#include <string>
#include <string_view>

namespace notify {

std::string Base64(std::string_view bytes);

// Every line break (CR LF, LF or a lone CR) as CR LF.
std::string ToCrLf(std::string_view text);

// Quoted-printable (RFC 2045) of a text whose line breaks are CR LF: lines of
// at most 76 characters, bytes outside printable ASCII as =XX.
std::string QuotedPrintable(std::string_view text);

// The message as it travels after DATA: CR LF line ends, a "." doubled at the
// start of every line that has one, and the closing "." line.
std::string DataBlock(std::string_view message);

}  // namespace notify
