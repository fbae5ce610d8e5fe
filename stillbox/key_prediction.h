#pragma once

namespace kestrel::stillbox {

// The item a key press in the thumbnail list is expected to reach, on the
// assumption that the list shows two thumbnails per row. first is the first
// selected item before the key moves the selection (-1 for none), count the
// number of items. qtKey is a Qt::Key value.
int PredictKeyTarget(int qtKey, int first, int count);

}  // namespace kestrel::stillbox
