#pragma once
// The table chooser's list, without widgets: the logged-on user's tables or views, fetched in
// slices so that a window can let events through between two slices (a long list never
// freezes it, and Esc stops the load), and the preselection of the name typed in the main
// window. Names come in the order the database returns them, trailing blanks removed, as they
// are typed (TypedTableName: in double quotes when not all upper case).

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "transfer/BusyPointer.h"

namespace tabrook {

class Host;
class Tdm;

class TableListLoader {
public:
    enum class Kind { Table, View };
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

    TableListLoader(Tdm& dm, Host& host) : dm_(dm), host_(host) {}

    // Empties the list and starts the query for kind. Not logged on, or a statement the
    // database refuses: the list stays empty, without a message. A load in progress ends.
    void Start(Kind kind);
    // Fetches up to maxRows more names; false once the list is complete (or stopped).
    bool LoadSlice(std::size_t maxRows);
    // Stops the load: the names fetched so far stay (Esc during a load).
    void Cancel();
    bool Loading() const { return loading_; }

    const std::vector<std::string>& Names() const { return names_; }
    Kind CurrentKind() const { return kind_; }

    // The statement of a kind: "select TABLE_name from user_TABLEs" or the VIEW twin.
    static std::string Statement(Kind kind);

    // The index of the name equal to preset, letter case counting; kNone when none is.
    std::size_t Preselect(const std::string& preset) const;

    // The indexes of the names that contain filter, without regard to the case of ASCII
    // letters (all of them for an empty filter).
    std::vector<std::size_t> Matching(const std::string& filter) const;

    // The CSV file of a job added from the list: folder (with its separator) + the table's
    // identifier (no quotes) + ".csv".
    static std::string CsvFileFor(const std::string& folder, const std::string& name);

private:
    void Finish();

    Tdm& dm_;
    Host& host_;
    Kind kind_ = Kind::Table;
    std::vector<std::string> names_;
    bool loading_ = false;
    std::optional<BusyPointer> busy_;
};

}  // namespace tabrook
