// The list of the 500 book slots, Book Setup's fields, and what choosing or
// deleting a slot does to the list's selection.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/model.h"
#include "data/outcome.h"

namespace tonnage {

class Session;

// "Book ", the slot number with a leading blank, a blank and the comments:
// slot 7 with HOT MIX gives "Book  7 HOT MIX".
std::string BookListEntry(int slot, const BookHeader& header);

// The 500 entries; entry k (from 0) is slot k + 1.
std::vector<std::string> ListBooks(const BookTable& books);

// A book whose type is fixed (set up before) opens its grid straight from
// the list; Book Setup stays one button away.
inline bool OpensGridDirectly(const BookHeader& header) { return header.InUse() && !header.dataType.empty(); }

// The slot of the selected entry (-1: none selected, which chooses nothing).
std::optional<int> ChosenSlot(int selectedIndex);

// The entry selected after slot `slot` was chosen or deleted: the next
// slot's, or slot 500's again.
int SelectionAfter(int slot);

inline constexpr const char* kDeleteQuestion = "Are You Sure";
inline constexpr const char* kDeleteTitle = "Delete Selected Book";

// The delete question, naming the book so the user sees which one goes:
// "Are You Sure", then the slot's number, comments and ticket count.
std::string DeleteBookQuestion(const Session& session, int slot);

// Empties the slot's comments, data type and gravity and the rows in memory.
// The section file stays: setting the slot up again in this run brings its
// tickets back. The outcome is the state file's.
Outcome DeleteBook(Session& session, int slot);

inline constexpr int kCommentsLength = 35;

// Book Setup's fields as the window opens them.
struct BookSetupFields {
  std::string comments;
  std::string specificGravity;
  int ChosenTypeIndex = -1;  // 0..2, -1 when no option is chosen
  bool typeFixed = false;    // the type was chosen before and cannot change
};

BookSetupFields OpenBookSetup(const BookHeader& header);

// Continue: stores the fields into the slot; the type only when an option
// is chosen (with the type fixed, that is the stored one).
void ContinueBookSetup(BookHeader& header, const BookSetupFields& fields);

// The specific gravity field: 0 to 9.9999, up to four decimals (a wider
// value would shift the book's comments in the header line).
inline constexpr double kMaxSpecificGravity = 9.9999;
inline constexpr const char* kSpecificGravityBound = "Specific Gravity accepts 0 to 9.9999";

enum class GravityInput { Acceptable, Intermediate, Invalid };
struct GravityCheck {
  GravityInput state = GravityInput::Acceptable;
  std::string reason;
};
GravityCheck CheckSpecificGravity(std::string_view text);

}  // namespace tonnage
