#pragma once

// The text of an edit text field as its scripts read it.

#include <string>
#include <string_view>

namespace flash::render {

// The characters an HTML field shows (UTF-8 in and out): tags dropped, entities read,
// paragraphs and line breaks as "\r".
std::string HtmlToPlainText(std::string_view html);

}  // namespace flash::render
