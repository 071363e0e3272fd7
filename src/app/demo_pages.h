#pragma once

class QWidget;

namespace vexa {

class CFeedDoc;
struct UiContext;

// The pages under the tabs, created by the tab host as its children. Each page connects itself
// to the document's updates.
QWidget* CreatePositionPage(UiContext& ui, CFeedDoc& doc, QWidget* parent);
QWidget* CreateSignalPage(UiContext& ui, CFeedDoc& doc, QWidget* parent);
QWidget* CreateSkyPage(UiContext& ui, CFeedDoc& doc, QWidget* parent);
QWidget* CreatePlotPage(UiContext& ui, CFeedDoc& doc, QWidget* parent);
QWidget* CreateMapPage(UiContext& ui, CFeedDoc& doc, QWidget* parent);

}  // namespace vexa
