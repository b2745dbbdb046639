#pragma once
// Header-tag replacement: after a merge, the edited game's copies of the listed tags
// (clock times, the result) are replaced by the source's current ones; every other tag
// stays as the operator wrote it.

#include <string>
#include <string_view>
#include <vector>

#include "pgn/PgnScanner.h"

namespace korvane {

// Whether the tag text (from "[" to "]") is a tag of that name: the name occurs, ignoring
// letter case, as a whole word (no letter or digit on either side) in the tag's name. The
// value is not looked at: an Event tag whose value ends in the word Time is no Time tag.
bool HoldsTagName(std::string_view tag, std::string_view name);

// For each listed name, the first edited tag of that name is replaced by the last source
// tag of that name. When anything was replaced the header is rebuilt as the edited tags
// joined with CR LF, followed by the text after the last tag. A tag that exists in only
// one of the texts is neither changed nor added. Fails without message text.
PgnError ReplaceHeaderTags(std::string& edited, std::string_view source, const TagSpans& editedTags,
                           const TagSpans& sourceTags, const std::vector<std::string>& names);

}  // namespace korvane
