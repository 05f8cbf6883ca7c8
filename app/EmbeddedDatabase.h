#pragma once
// The embedded engine's database files as the program meets them at logon: the file a connect
// string names (the user's default database for an empty one), and the creation of a file that
// does not exist yet, with the user and password of the logon as its first account. The engine
// is told to create a file only through its console (ocilite-sql --create, beside the
// program); the password travels to it on standard input, never on its command line.

#include <string>

namespace tabrook {

class TOCI8Ctrl;

// The database file of a connect string: the string itself, or for an empty one the default
// database, $XDG_DATA_HOME/tabrook/default.db (~/.local/share/tabrook/default.db).
std::string EmbeddedDatabaseFile(const std::string& connStr);

// True when the session failed to log on to the embedded engine because the database file
// its connect string names does not exist (ORA-12154 for a named file that is not there).
bool MissingEmbeddedDatabase(const TOCI8Ctrl& session);

// Creates the database file with user and password as its first account. False when it could
// not be created; failure then holds the reason and no file is left behind.
bool CreateEmbeddedDatabase(const std::string& user, const std::string& password, const std::string& file,
                            std::string& failure);

// The question asked before a database file is created.
std::string CreateDatabaseQuestion(const std::string& file, const std::string& user);

}  // namespace tabrook
