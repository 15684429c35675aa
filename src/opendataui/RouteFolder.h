#pragma once
// Where routes added from open data go, and which route numbers a folder already holds.
#include <QString>
#include <QStringList>
#include <set>
#include <string>

namespace opendataui {

// $XDG_DATA_HOME/FerioVer4/routes: the user's own, outside the installed tree and the build.
QString userRouteFolder();
// The options' fare-data folder when it is set and writable, else the user's own.
QString routeFolder(const QString& fareData);
// The numbers of the route files (N.hy3) in a folder.
std::set<int> routeNumbers(const QString& folder);
// The route's short name when it is 1 to 5 digits and free, else the lowest free number.
int proposeNumber(const std::string& shortName, const std::set<int>& used);
// Makes `folder` with the routes, broadcast tables, readings and chimes of `samples` copied in,
// so that the samples stay usable once the options name the new folder. Returns why it could
// not be made, empty when it was.
QString makeRouteFolder(const QString& folder, const QStringList& samples);

} // namespace opendataui
