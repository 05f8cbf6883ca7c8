#pragma once
// Logons written down beside a database file while another session holds the database's write
// lock, so that a busy database never lets a password be guessed uncounted. The journal is the
// file "<database>-logon" (mode 0600): one line per logon attempt of an account, written before
// its password is checked, and a line "+account" after an attempt that succeeded. The next
// logon that holds the write lock takes the journal into the accounts' failed-logon counts and
// empties it. An attempt that cannot be written down is refused without checking its password.

#include <map>
#include <string>

namespace ocilite {

class LogonJournal {
public:
    // The journal of the database file at databasePath.
    explicit LogonJournal(const std::string& databasePath);

    // What the journal holds for one account: the attempts since its last good logon, and
    // whether a good logon (which clears the count kept in the database) was written down.
    struct Tally {
        int attempts = 0;
        bool goodLogon = false;
    };
    Tally TallyOf(const std::string& user) const;

    // Writes down an attempt of user (before its password is checked), or that it succeeded.
    // False when the journal cannot be written.
    bool Attempt(const std::string& user) { return Append(user); }
    bool Succeeded(const std::string& user) { return Append("+" + user); }

    // Every account's tally, emptying the journal; called while the database's write lock is
    // held, so that the tallies go into the database in the same transaction.
    std::map<std::string, Tally> TakeAll();

private:
    bool Append(const std::string& line);
    static void Count(const std::string& text, std::map<std::string, Tally>& tallies);

    std::string path_;
};

}  // namespace ocilite
