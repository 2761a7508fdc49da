#pragma once

class QWidget;

// Brings a top-level window within the available area of its screen, made
// smaller where it is larger: a size or place stored on a larger or another
// screen, or a grown window, would leave parts of it out of reach.
void fitToScreen(QWidget *window);
