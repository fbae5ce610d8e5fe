#pragma once

#include <QString>

namespace kestrel::stillbox::res {

// The text of string id, or an empty string for an id the table lacks.
QString LoadString(int id);

}  // namespace kestrel::stillbox::res
