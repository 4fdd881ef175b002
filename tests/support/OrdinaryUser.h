#pragma once

#include <QString>

#include <functional>

namespace tolvane::test {

// Runs check with the file permissions of an ordinary user and returns its result. Root ignores
// permissions, so as root the tree is handed to user nobody and the check runs in a forked child
// that gives up root first; otherwise it simply runs.
bool asOrdinaryUser(const QString& tree, const std::function<bool()>& check);

} // namespace tolvane::test
