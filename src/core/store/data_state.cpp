#include "store/data_state.h"

#include <cerrno>

#include "data/data_file.h"
#include "data/section_file.h"
#include "io/line_reader.h"

namespace tonnage::store {

DataStateRead ReadDataState(const std::string& path) {
  DataStateRead out;
  DataFileReader reader(path);
  IndexRecord index;
  if (!reader.ReadIndex(index)) {
    out.outcome = reader.outcome();
    return out;
  }
  out.state.indexLine = FormatIndexLine(index);
  BookHeader header;
  std::vector<std::string> tickets;
  while (reader.NextBook(header, tickets)) out.state.books.push_back({FormatBookHeaderLine(header), tickets});
  out.outcome = reader.outcome();
  return out;
}

DataStateRead CollectDataState(const IndexRecord& index, const BookTable& books, const std::string& sectionFolder) {
  DataStateRead out;
  out.state.indexLine = FormatIndexLine(index);
  std::string line;
  for (int book = 1; book <= kMaxBooks; ++book) {
    BookHeader header = books[static_cast<std::size_t>(book - 1)];
    if (!header.InUse()) continue;
    if (header.dataType.empty()) header.dataType = "0";
    StateBook& b = out.state.books.emplace_back();
    b.header = FormatBookHeaderLine(header);
    io::FileLineReader section(sectionFolder + SectionFileName(book));
    if (!section.is_open()) {
      if (section.error_number() == ENOENT) continue;
      out.outcome = section.error();
      return out;
    }
    while (section.Next(line)) b.tickets.push_back(line);
    if (Outcome read = section.error(); !read) {
      out.outcome = read;
      return out;
    }
  }
  return out;
}

std::string DataFileBytes(const DataState& state) {
  std::size_t size = state.indexLine.size() + 2;
  for (const StateBook& b : state.books) {
    size += b.header.size() + 2;
    for (const std::string& t : b.tickets) size += t.size() + 2;
  }
  std::string bytes;
  bytes.reserve(size);
  auto line = [&](const std::string& l) {
    bytes += l;
    bytes += "\r\n";
  };
  line(state.indexLine);
  for (const StateBook& b : state.books) {
    line(b.header);
    for (const std::string& t : b.tickets) line(t);
  }
  return bytes;
}

int TicketCount(const DataState& state) {
  int n = 0;
  for (const StateBook& b : state.books) n += static_cast<int>(b.tickets.size());
  return n;
}

}  // namespace tonnage::store
