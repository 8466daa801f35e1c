// Split icons as the XML split files carry them: base64 text whose bytes are either the
// image itself or the image inside a serialized wrapper of the program that wrote it. The
// image is found by its signature (PNG, JPEG or GIF) anywhere in the decoded bytes.
//
//   DecodeBase64("iVBORw0K...") -> "\x89PNG\r\n\x1a\n..."     ("" with *ok false on bad text)
//   FindImage(wrapper bytes) -> {Extension "png", Bytes from the signature to the IEND chunk}
//   EncodeBase64("\x89PNG...") -> "iVBORw0K..."
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "RouteData.h"

// Blanks and line breaks inside the text are skipped; any other character that is not of
// the base64 alphabet makes *ok false.
std::string DecodeBase64(std::string_view text, bool* ok);
std::string EncodeBase64(std::string_view bytes);

// The first PNG, JPEG or GIF image in bytes; nothing when none is there.
std::optional<SplitPicture> FindImage(std::string bytes);

// The image kind a file name's extension names: "a.PNG" -> "png", "b.jpeg" -> "jpg", else "".
std::string ImageExtensionOf(std::string_view fileName);
