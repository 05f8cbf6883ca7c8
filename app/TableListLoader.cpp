#include "app/TableListLoader.h"

#include "app/JobListModel.h"
#include "transfer/ClientCharset.h"
#include "transfer/SqlName.h"
#include "transfer/Tdm.h"

namespace tabrook {

namespace {

unsigned char Lower(unsigned char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
}

bool ContainsIgnoringCase(const std::string& text, const std::string& part) {
    if (part.empty()) return true;
    if (part.size() > text.size()) return false;
    for (std::size_t at = 0; at + part.size() <= text.size(); ++at) {
        std::size_t i = 0;
        while (i < part.size() &&
               Lower(static_cast<unsigned char>(text[at + i])) == Lower(static_cast<unsigned char>(part[i])))
            ++i;
        if (i == part.size()) return true;
    }
    return false;
}

}  // namespace

std::string TableListLoader::Statement(Kind kind) {
    const std::string word = kind == Kind::Table ? "TABLE" : "VIEW";
    return "select " + word + "_name from user_" + word + "s";
}

void TableListLoader::Start(Kind kind) {
    Finish();
    kind_ = kind;
    names_.clear();
    if (!dm_.OCI.Connected) return;
    dm_.OCIcur.SetSQL(Statement(kind));
    busy_.emplace(host_, Host::BusyPointer::SqlWait);
    if (!dm_.OCIcur.Execute(0)) {
        Finish();
        return;
    }
    loading_ = true;
}

bool TableListLoader::LoadSlice(std::size_t maxRows) {
    for (std::size_t n = 0; loading_ && n < maxRows; ++n) {
        if (!dm_.OCIcur.Fetch()) {
            Finish();
            break;
        }
        std::string name = dm_.OCIcur.Values.empty() ? std::string() : dm_.OCIcur.Values[0];
        name.erase(name.find_last_not_of(' ') + 1);
        names_.push_back(TypedTableName(name, ClientDoubleByteCode(dm_.OCI)));
    }
    return loading_;
}

void TableListLoader::Cancel() {
    Finish();
}

void TableListLoader::Finish() {
    if (loading_) dm_.OCIcur.CleanUp();
    loading_ = false;
    busy_.reset();
}

std::size_t TableListLoader::Preselect(const std::string& preset) const {
    for (std::size_t i = 0; i < names_.size(); ++i) {
        if (names_[i] == preset) return i;
    }
    return kNone;
}

std::vector<std::size_t> TableListLoader::Matching(const std::string& filter) const {
    std::vector<std::size_t> indexes;
    for (std::size_t i = 0; i < names_.size(); ++i) {
        if (ContainsIgnoringCase(names_[i], filter)) indexes.push_back(i);
    }
    return indexes;
}

std::string TableListLoader::CsvFileFor(const std::string& folder, const std::string& name) {
    return WithTrailingSeparator(folder) + TableIdentifier(name) + ".csv";
}

}  // namespace tabrook
