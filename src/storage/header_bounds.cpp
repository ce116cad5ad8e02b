#include "storage/header_bounds.h"

namespace olbrax::isam {

namespace {

// A chain head is -1 (empty) or an element 1..count.
bool HeadInRange(std::int32_t head, std::int64_t count) { return head == -1 || (head >= 1 && head <= count); }

}  // namespace

std::int64_t RecordsInFile(std::int64_t file_size, std::int32_t rec_len) {
  if (rec_len < 1 || file_size < 0) return -1;
  return file_size / rec_len - 1;
}

std::int64_t PagesInFile(std::int64_t file_size, std::int64_t row_size, std::int64_t slot_offset) {
  if (row_size < 1) return 0;
  std::int64_t room = file_size - slot_offset - kPageHeadSize;
  return room < 0 ? 0 : room / row_size;
}

std::string DataHeaderFault(const DataHeader& h, std::int64_t file_size) {
  std::int64_t held = RecordsInFile(file_size, h.rec_len);
  if (h.num_recs < 0 || h.num_recs > held)
    return "record count " + std::to_string(h.num_recs) + ", the file holds " +
           std::to_string(held < 0 ? 0 : held) + " records";
  if (h.free_count < 0 || h.free_count > h.num_recs)
    return "free count " + std::to_string(h.free_count) + " of " + std::to_string(h.num_recs) + " records";
  if (!HeadInRange(h.first_free, h.num_recs))
    return "first free record " + std::to_string(h.first_free) + " beyond its " + std::to_string(h.num_recs) +
           " records";
  return {};
}

std::string IndexHeaderFault(const IndexHeader& h, std::int64_t pages_in_file) {
  if (h.page_count < 0 || h.page_count > pages_in_file)
    return "page count " + std::to_string(h.page_count) + ", the file holds " + std::to_string(pages_in_file) +
           " pages";
  if (h.root < 0 || h.root > h.page_count)
    return "root page " + std::to_string(h.root) + " beyond its " + std::to_string(h.page_count) + " pages";
  if (h.free_count < 0 || h.free_count > h.page_count)
    return "free page count " + std::to_string(h.free_count) + " of " + std::to_string(h.page_count) + " pages";
  if (!HeadInRange(h.first_free, h.page_count))
    return "first free page " + std::to_string(h.first_free) + " beyond its " + std::to_string(h.page_count) +
           " pages";
  if (h.key_count < 0 || static_cast<std::int64_t>(h.key_count) > std::int64_t{kItemsPerPage} * h.page_count)
    return "key count " + std::to_string(h.key_count) + " in " + std::to_string(h.page_count) + " pages";
  return {};
}

}  // namespace olbrax::isam
