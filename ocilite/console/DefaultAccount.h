#pragma once
// The account the program itself logs on with: the user name its settings keep from the last
// logon (USER in group List-1 of $XDG_CONFIG_HOME/Vornex/Hollin.conf), so that a bare
// `ocilite-sql` opens the same account on the default database.

#include <string>

namespace ocilite {

// The stored user name, or empty when the program has stored none.
std::string StoredUserName();

}  // namespace ocilite
