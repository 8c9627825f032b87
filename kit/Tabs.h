#pragma once

class QWidget;

// Makes the tab that holds `page` the current tab of its tab widget.
void bringTabToFront(QWidget* page);
