// A toolkit include in the toolkit interface, for the include check's own test.
#include <QObject>
