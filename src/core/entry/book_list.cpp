#include "entry/book_list.h"

#include <charconv>

#include "data/section_file.h"
#include "io/line_reader.h"
#include "data/session.h"
#include "text/fixed_width.h"

namespace tonnage {

std::string BookListEntry(int slot, const BookHeader& header) {
  char number[16];
  const auto end = std::to_chars(number, number + sizeof number, slot).ptr;
  std::string entry = "Book  ";
  entry.append(number, end);
  entry += ' ';
  entry += header.comments;
  return entry;
}

std::vector<std::string> ListBooks(const BookTable& books) {
  std::vector<std::string> entries;
  entries.reserve(books.size());
  for (std::size_t i = 0; i < books.size(); ++i) entries.push_back(BookListEntry(static_cast<int>(i + 1), books[i]));
  return entries;
}

std::optional<int> ChosenSlot(int selectedIndex) {
  if (selectedIndex < 0 || selectedIndex >= kMaxBooks) return std::nullopt;
  return selectedIndex + 1;
}

int SelectionAfter(int slot) { return slot >= kMaxBooks ? kMaxBooks - 1 : slot; }

std::string DeleteBookQuestion(const Session& session, int slot) {
  int tickets = 0;
  io::FileLineReader section(session.SectionPath(slot));
  std::string line;
  while (section.Next(line)) ++tickets;
  const std::string& comments = session.Book(slot).comments;
  return std::string(kDeleteQuestion) + "\n\nBook " + std::to_string(slot) + "   " +
         (comments.empty() ? std::string("(not in use)") : comments) + "\n" + std::to_string(tickets) +
         (tickets == 1 ? " ticket" : " tickets");
}

Outcome DeleteBook(Session& session, int slot) {
  ClearBookRows(session.rows);
  return session.SetBookHeader(slot, BookHeader{});
}

BookSetupFields OpenBookSetup(const BookHeader& header) {
  BookSetupFields fields;
  fields.comments = header.comments;
  fields.specificGravity = header.specificGravity;
  // A type once chosen stays; a code no option shows is kept as it is.
  fields.typeFixed = !header.dataType.empty();
  if (header.dataType == "0" || header.dataType == "1" || header.dataType == "2")
    fields.ChosenTypeIndex = header.dataType[0] - '0';
  return fields;
}

void ContinueBookSetup(BookHeader& header, const BookSetupFields& fields) {
  header.comments = fields.comments;
  header.specificGravity = fields.specificGravity;
  if (fields.ChosenTypeIndex >= 0 && fields.ChosenTypeIndex <= 2)
    header.dataType = std::string(1, static_cast<char>('0' + fields.ChosenTypeIndex));
}

GravityCheck CheckSpecificGravity(std::string_view text) {
  std::size_t period = std::string_view::npos;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] >= '0' && text[i] <= '9') continue;
    if (text[i] == '.' && period == std::string_view::npos) {
      period = i;
      continue;
    }
    return {GravityInput::Invalid, "Specific Gravity accepts a number such as 2.6500"};
  }
  if (period != std::string_view::npos && text.size() - period - 1 > 4)
    return {GravityInput::Invalid, "Specific Gravity accepts up to four decimals"};
  if (text == ".") return {GravityInput::Intermediate, {}};
  if (ParseLeadingNumber(text) > kMaxSpecificGravity) return {GravityInput::Invalid, kSpecificGravityBound};
  return {};
}

}  // namespace tonnage
