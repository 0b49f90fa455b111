// The help window's two topic tables, Lumo's and Ketra's: each topic's title and paragraphs as
// GB2312 text, indexed by the topic's position in its tree.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace help {

enum class Method { Lumo, Ketra };

// The titles in tree order: 11 for Lumo, 13 for Ketra.
const std::vector<std::string>& TopicTitles(Method method);
int TopicCount(Method method);
// The topic's paragraphs in display order; none when index lies outside the table.
std::vector<std::string_view> TopicParagraphs(Method method, int index);
// The paragraphs joined by CR LF, as the text pane shows them; empty outside the table.
std::string TopicText(Method method, int index);

}  // namespace help
