#include "store/history.h"

#include <string_view>

#include "store/book_keyed_tables.h"
#include "store/sha256.h"
#include "store/state_diff.h"

namespace tonnage::store {
namespace {

std::string JoinTickets(const std::vector<std::string>& tickets) {
  std::string out;
  for (const std::string& t : tickets) {
    if (!out.empty()) out += '\n';
    out += t;
  }
  return out;
}

std::vector<std::string> SplitTickets(const std::string& text) {
  std::vector<std::string> out;
  if (text.empty()) return out;
  std::size_t from = 0;
  for (;;) {
    const std::size_t nl = text.find('\n', from);
    out.push_back(text.substr(from, nl - from));
    if (nl == std::string::npos) return out;
    from = nl + 1;
  }
}

Outcome PutBook(ProjectStore& s, std::size_t pos, const StateBook& b) {
  Statement put(s.db(), "INSERT OR REPLACE INTO state_book(pos, header, tickets) VALUES(?1, ?2, ?3)");
  put.Bind(1, static_cast<std::int64_t>(pos)).Bind(2, b.header).BindBlob(3, JoinTickets(b.tickets));
  return put.Run();
}

// Brings the kept state from `before` to `now`, rewriting only the books
// that differ.
Outcome KeepState(ProjectStore& s, const RecordedState& before, const DataState& now) {
  if (!before.recorded || before.state.indexLine != now.indexLine) {
    Statement put(s.db(), "INSERT OR REPLACE INTO state_index(id, line) VALUES(1, ?1)");
    put.Bind(1, now.indexLine);
    if (Outcome r = put.Run(); !r) return r;
  }
  const std::vector<StateBook>& old = before.state.books;
  for (std::size_t k = 0; k < now.books.size(); ++k)
    if (k >= old.size() || old[k] != now.books[k])
      if (Outcome r = PutBook(s, k + 1, now.books[k]); !r) return r;
  if (old.size() > now.books.size()) {
    Statement drop(s.db(), "DELETE FROM state_book WHERE pos > ?1");
    drop.Bind(1, static_cast<std::int64_t>(now.books.size()));
    return drop.Run();
  }
  return Outcome::Success();
}

std::string Book(int number) { return "book " + std::to_string(number); }

}  // namespace

RecordedState LoadRecordedState(ProjectStore& store) {
  RecordedState out;
  Statement index(store.db(), "SELECT line FROM state_index WHERE id = 1");
  switch (index.Next()) {
    case Step::Row:
      out.recorded = true;
      out.state.indexLine = index.Text(0);
      break;
    case Step::Done:
      return out;
    case Step::Error:
      out.outcome = index.outcome();
      return out;
  }
  Statement books(store.db(), "SELECT header, tickets FROM state_book ORDER BY pos");
  Step s;
  while ((s = books.Next()) == Step::Row) out.state.books.push_back({books.Text(0), SplitTickets(books.Text(1))});
  if (s == Step::Error) out.outcome = books.outcome();
  return out;
}

Recording RecordState(ProjectStore& store, const DataState& now, const std::string& bytesHash, const std::string& kind,
                      const std::string& reason) {
  Recording rec;
  const bool save = kind == "save";
  const std::string content = Sha256Hex(DataFileBytes(now));
  rec.outcome = store.Write([&](ProjectStore& s) -> Outcome {
    rec.before = LoadRecordedState(s);
    if (!rec.before.outcome) return rec.before.outcome;
    rec.changes = DiffStates(rec.before.recorded ? rec.before.state : DataState{}, now);
    if (Outcome r =
            s.AppendEntry(kind, reason, DescribeSummary(Summarize(rec.changes)), rec.changes, bytesHash, content);
        !r)
      return r;
    rec.seq = s.LastEntry()->seq;
    if (Outcome r = KeepState(s, rec.before, now); !r) return r;
    // Before the queued writes, which name books by their numbers in `now`.
    if (Outcome r = FollowBookChanges(s, rec.changes); !r) return r;
    return save ? s.RunQueued() : Outcome::Success();
  });
  if (rec.outcome && save) store.DropQueued();
  return rec;
}

Outcome UndoRecording(ProjectStore& store, const Recording& rec) {
  return store.Write([&](ProjectStore& s) -> Outcome {
    for (const char* sql : {"DELETE FROM change WHERE entry = ?1", "DELETE FROM entry WHERE seq = ?1"}) {
      Statement drop(s.db(), sql);
      drop.Bind(1, rec.seq);
      if (Outcome r = drop.Run(); !r) return r;
    }
    if (Outcome r = s.db().Exec("DELETE FROM state_book; DELETE FROM state_index;"); !r) return r;
    // Books that moved go back to their numbers (rows dropped stay dropped).
    std::vector<Change> back;
    for (const Change& c : rec.changes)
      if (c.what == kBookMoved) back.push_back({kBookMoved, c.oldBook, c.book, "", "", "", ""});
    if (Outcome r = FollowBookChanges(s, back); !r) return r;
    if (!rec.before.recorded) return Outcome::Success();
    return KeepState(s, RecordedState{}, rec.before.state);
  });
}

OpenRecording RecordOnOpen(ProjectStore& store, const std::string& dataFile) {
  OpenRecording out;
  const std::string hash = Sha256OfFile(dataFile);
  if (hash.empty()) {
    out.outcome = Outcome::Io("Cannot read " + dataFile);
    return out;
  }
  const std::optional<Entry> last = store.LastEntry();
  if (last && last->state == hash) return out;
  DataStateRead read = ReadDataState(dataFile);
  if (!read.outcome) {
    out.outcome = read.outcome;
    return out;
  }
  const bool first = !last || last->state.empty();
  std::string reason = first ? "the history starts with the file as found" : kChangedOutside;
  if (!first) {
    // A save killed after the store committed leaves the file one state behind.
    Statement before(store.db(), "SELECT state FROM entry WHERE seq < ?1 ORDER BY seq DESC LIMIT 1");
    before.Bind(1, last->seq);
    if (before.Next() == Step::Row && before.Text(0) == hash)
      reason += " (the save of entry " + std::to_string(last->seq) + " did not reach the data file)";
  }
  const Recording rec = RecordState(store, read.state, hash, first ? "start" : "outside", reason);
  out.outcome = rec.outcome;
  if (rec.outcome && !first) {
    std::string name = dataFile.substr(dataFile.rfind('/') + 1);
    out.notice =
        name + " was changed outside the program since it was last saved: " + DescribeSummary(Summarize(rec.changes)) +
        ". The changes are kept in its history.";
  }
  return out;
}

Verification VerifyHistory(ProjectStore& store, const std::string& dataFile) {
  Verification v;
  auto fail = [&](std::string message) {
    v.message = std::move(message);
    return v;
  };
  Statement entries(store.db(),
                    "SELECT seq, utc, local, login, version, program, kind, reason, details, state, content, prev, "
                    "hash FROM entry ORDER BY seq");
  Statement changes(store.db(),
                    "SELECT entry, what, book, old_book, page, field, old, new FROM change ORDER BY entry, n");
  Step changeStep = changes.Next();
  std::string prev = kFirstPrev;
  std::int64_t expected = 1;
  Entry e;
  Step step;
  while ((step = entries.Next()) == Step::Row) {
    e = Entry{entries.Int(0),   {entries.Text(1), entries.Text(2), entries.Text(3), entries.Text(4), entries.Text(5)},
              entries.Text(6),  entries.Text(7),
              entries.Text(8),  entries.Text(9),
              entries.Text(10), entries.Text(11),
              entries.Text(12)};
    const std::string name = "History entry " + std::to_string(e.seq);
    if (e.seq != expected)
      return fail(e.seq > expected ? "History entry " + std::to_string(expected) + " is missing."
                                   : name + " is out of place.");
    if (e.hash.size() != kHashLength || e.hash.find_first_not_of("0123456789abcdef") != std::string::npos)
      return fail(name + " has a hash of the wrong length or form.");
    if (e.prev != prev) return fail(name + " does not follow the entry before it (its link is broken).");
    std::vector<Change> own;
    while (changeStep == Step::Row && changes.Int(0) <= e.seq) {
      if (changes.Int(0) < e.seq)
        return fail("A recorded change belongs to no entry (entry " + std::to_string(changes.Int(0)) + ").");
      own.push_back({changes.Text(1), static_cast<int>(changes.Int(2)), static_cast<int>(changes.Int(3)),
                     changes.Text(4), changes.Text(5), changes.Text(6), changes.Text(7)});
      changeStep = changes.Next();
    }
    if (EntryHash(e, own) != e.hash)
      return fail(name + " (" + e.kind + ", " + e.stamp.utc + ") was altered: its content does not match its hash.");
    prev = e.hash;
    ++expected;
  }
  if (step == Step::Error) return fail(entries.outcome().message);
  if (changeStep == Step::Row)
    return fail("A recorded change belongs to no entry (entry " + std::to_string(changes.Int(0)) + ").");
  if (changeStep == Step::Error) return fail(changes.outcome().message);
  if (expected == 1) return fail("The history holds no entry.");
  const std::string last = "history entry " + std::to_string(e.seq);

  const RecordedState kept = LoadRecordedState(store);
  if (!kept.outcome) return fail(kept.outcome.message);
  if (e.content.empty() || Sha256Hex(DataFileBytes(kept.state)) != e.content)
    return fail("The state kept in the history does not match " + last + ".");
  const std::string hash = Sha256OfFile(dataFile);
  if (hash.empty()) return fail("Cannot read " + dataFile + ".");
  if (hash != e.state) {
    const DataStateRead read = ReadDataState(dataFile);
    if (!read.outcome) return fail(read.outcome.message);
    const std::vector<Change> diff = DiffStates(kept.state, read.state);
    if (diff.empty()) return fail("The data file's bytes differ from " + last + ", though no book or ticket differs.");
    std::string message = "The data file differs from " + last + ": " + DescribeChange(diff.front());
    if (diff.size() > 1) message += " (and " + std::to_string(diff.size() - 1) + " more)";
    return fail(message + ".");
  }
  v.ok = true;
  v.message = std::to_string(e.seq) + (e.seq == 1 ? " entry" : " entries") +
              ", chain unbroken; the data file matches " + last + ".";
  return v;
}

std::string DescribeChange(const Change& c) {
  const std::string_view what = c.what;
  if (what == kChangeIndex) return "index record " + c.field + ": " + c.oldValue + " -> " + c.newValue;
  if (what == kBookSetUp) return Book(c.book) + " set up";
  if (what == kBookDeleted) return Book(c.oldBook) + " deleted";
  if (what == kBookMoved) return Book(c.oldBook) + " is now book " + std::to_string(c.book);
  if (what == kBookChanged) return Book(c.book) + " " + c.field + ": " + c.oldValue + " -> " + c.newValue;
  const std::string ticket = Book(c.book ? c.book : c.oldBook) + " page " + c.page;
  if (what == kTicketAdded) return ticket + " added";
  if (what == kTicketRemoved) return ticket + " removed";
  return ticket + " " + c.field + ": " + c.oldValue + " -> " + c.newValue;
}

}  // namespace tonnage::store
