// A disabled container of the form library only keeps input out: the controls
// inside keep their text in the normal colours, unless a control is disabled
// itself. Qt greys every descendant of a disabled widget; this undoes that for
// the values a container shows.
#pragma once

class QWidget;

enum class ContainerTitle { Greyed, Readable };

// From now on the descendants of `container` are greyed only when disabled
// themselves; the container's own title follows `title` while it is disabled.
void KeepTextReadable(QWidget* container, ContainerTitle title);
