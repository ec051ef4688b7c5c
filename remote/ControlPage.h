#pragma once

#include <QByteArray>

namespace ControlPage {

// The phone's control page: one self-contained UTF-8 HTML document (inline
// style and script, no external files), served for "/" and "/index.html".
const QByteArray &html();

} // namespace ControlPage
