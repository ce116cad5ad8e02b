// The compiled-in table of message numbers and texts (see message_table.cpp).
#pragma once

#include <span>
#include <string_view>

namespace olbrax::detail {

struct MessageEntry {
  int number;
  std::string_view text;  // Windows-1252
};

// Every entry in ascending number order.
std::span<const MessageEntry> MessageTable();

}  // namespace olbrax::detail
