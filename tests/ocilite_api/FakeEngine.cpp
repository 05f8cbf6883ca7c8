#include "tests/ocilite_api/FakeEngine.h"

#include <cctype>

namespace fake {

World& TheWorld() {
    static World world;
    return world;
}

void Reset() {
    TheWorld() = World{};
}

namespace {

std::string Upper(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

class FakeStatement : public ocilite::Statement {
public:
    FakeStatement(std::string sql, const Script& script) : sql_(std::move(sql)), script_(script) {
        values_.resize(script_.bindNames.size());
    }
    ocilite::StatementType Type() const override { return ocilite::ClassifyStatement(sql_); }
    const std::vector<std::string>& BindNames() const override { return script_.bindNames; }
    int BindIndex(std::string_view placeholder) const override {
        if (!placeholder.empty() && placeholder.front() == ':') placeholder.remove_prefix(1);
        std::string key = placeholder.size() >= 2 && placeholder.front() == '"'
                              ? std::string(placeholder.substr(1, placeholder.size() - 2))
                              : Upper(placeholder);
        for (size_t i = 0; i < script_.bindNames.size(); ++i)
            if (script_.bindNames[i] == key) return static_cast<int>(i);
        return -1;
    }
    void Bind(int index, ocilite::Value value) override { values_.at(static_cast<size_t>(index)) = std::move(value); }
    void Execute() override {
        if (script_.executeError) throw *script_.executeError;
        TheWorld().executed.push_back(values_);
        next_ = 0;
        executed_ = true;
    }
    const std::vector<ocilite::ColumnInfo>& Columns() const override {
        static const std::vector<ocilite::ColumnInfo> none;
        return Type() == ocilite::StatementType::Select && executed_ ? script_.columns : none;
    }
    bool Fetch(std::vector<ocilite::Value>& row) override {
        if (next_ >= script_.rows.size()) return false;
        row = script_.rows[next_++];
        return true;
    }
    uint64_t RowCount() const override {
        return Type() == ocilite::StatementType::Select ? next_ : script_.rowsAffected;
    }
    std::string LastRowid() const override { return script_.rowid; }

private:
    std::string sql_;
    Script script_;
    std::vector<ocilite::Value> values_;
    size_t next_ = 0;
    bool executed_ = false;
};

class FakeSession : public ocilite::Session {
public:
    explicit FakeSession(std::string user) : user_(std::move(user)) {}
    std::unique_ptr<ocilite::Statement> Prepare(std::string_view sql) override {
        ++TheWorld().prepares;
        auto it = TheWorld().scripts.find(std::string(sql));
        if (it == TheWorld().scripts.end()) throw ocilite::OraError(942, "table or view does not exist");
        return std::make_unique<FakeStatement>(std::string(sql), it->second);
    }
    void Commit() override { ++TheWorld().commits; }
    void Rollback() override { ++TheWorld().rollbacks; }
    const std::string& UserName() const override { return user_; }

private:
    std::string user_;
};

}  // namespace
}  // namespace fake

namespace ocilite {

StatementType ClassifyStatement(std::string_view sql) {
    size_t i = 0;
    while (i < sql.size() && (std::isspace(static_cast<unsigned char>(sql[i])) || sql[i] == '(')) ++i;
    size_t j = i;
    while (j < sql.size() && std::isalpha(static_cast<unsigned char>(sql[j]))) ++j;
    std::string word = fake::Upper(sql.substr(i, j - i));
    if (word == "SELECT" || word == "WITH") return StatementType::Select;
    if (word == "INSERT") return StatementType::Insert;
    if (word == "UPDATE") return StatementType::Update;
    if (word == "DELETE") return StatementType::Delete;
    if (word == "CREATE") return StatementType::Create;
    if (word == "DROP") return StatementType::Drop;
    if (word == "BEGIN") return StatementType::Begin;
    if (word == "DECLARE") return StatementType::Declare;
    return StatementType::Unknown;
}

std::unique_ptr<Session> Session::Logon(std::string_view user, std::string_view password, std::string_view connect,
                                        bool create) {
    if (connect == "missing.db") throw OraError(12154, "TNS:could not resolve the connect identifier specified");
    if (user != "scott" || password != "tiger") throw OraError(1017, "invalid username/password; logon denied");
    return std::make_unique<fake::FakeSession>(std::string(user));
}

}  // namespace ocilite
