// The window scale (percent, 100..300): every dialog scales itself by it when it is created.
#pragma once

class QWidget;

namespace olbrax::platform {

// The scale in percent; the shell window computes it at start (see ApplyWindowScale).
extern int WindowScale;

// Scales a freshly built dialog by WindowScale / 100: its size, minimum size, font and the
// geometry of its children that are not placed by a layout.
void ScaleDialog(QWidget* dialog);
// The design value `v` scaled and rounded.
int Scaled(int v);

}  // namespace olbrax::platform
