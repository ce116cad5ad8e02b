#include "exchange/file_action.h"

#include "exchange/exchange_format.h"

#include <algorithm>
#include <fstream>

namespace olbrax {

Text ActionEntryText(std::string_view path, std::string_view sorter) {
  Text code = "99", identifier = "ingen importfil, ta bort";
  if (!sorter.empty()) {
    std::ifstream in(Utf8FromWin(path));
    std::string line;
    while (std::getline(in, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (line.empty() || line[0] != '*') continue;
      std::size_t end = line.find(' ');
      if (end == std::string::npos) end = line.find('=');
      identifier = line.substr(0, end);
      code = OrderCodeOfIdentifier(identifier, sorter);
      break;
    }
  }
  auto slash = path.find_last_of('/');
  Text name(slash == std::string_view::npos ? path : path.substr(slash + 1));
  return code + " " + PadRight(identifier, '.', 12) + " " + name;
}

bool ActionList::Include(std::string_view path, Text& status) {
  Text text = ActionEntryText(path, sorter_);
  Text code = text.substr(0, 2);
  bool listed = std::any_of(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.text.compare(0, 2, code) == 0; });
  if (listed && (not_allowed_ + "99*").find(code + "*") != Text::npos) {
    status = "endast en f\xF6rekomst till\xE5ten";
    return false;
  }
  Entry e{text, Text(path)};
  auto at = std::upper_bound(entries_.begin(), entries_.end(), e, [](const Entry& a, const Entry& b) { return a.text < b.text; });
  entries_.insert(at, e);
  return true;
}

void ActionList::Exclude(std::size_t index) {
  if (index < entries_.size()) entries_.erase(entries_.begin() + static_cast<long>(index));
}

}  // namespace olbrax
