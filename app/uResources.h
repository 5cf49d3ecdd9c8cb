#pragma once
// The pictures compiled into the executable: loaders that turn a resource
// name into a picture, a bitmap or a window region, and the handler pattern
// of skinned buttons and check boxes. Names are looked up without regard to
// case. A missing name raises "Resource NAME not found" and data the decoder
// rejects raises the decoder's error; the target keeps its content in both
// cases. Main thread only.

#include "platform/Exceptions.h"

#include <QByteArray>
#include <QImage>
#include <QRegion>
#include <QString>

class QWidget;
class TImage;

class EResNotFound : public Exception {
public:
    using Exception::Exception;
};

class EInvalidGraphic : public Exception {
public:
    using Exception::Exception;
};

// The raw data of a picture resource; raises EResNotFound.
QByteArray ResourceData(const QString& Name);

void LoadPngResource(const QString& Name, QImage& Picture);
void LoadPngResource(const QString& Name, TImage* Picture);
void LoadGifResource(const QString& Name, QImage& Graphic);
void LoadGifResource(const QString& Name, TImage* Graphic);
void LoadJpegResource(const QString& Name, QImage& Graphic);
void LoadJpegResource(const QString& Name, TImage* Graphic);

// Replaces Region by the region of the GIF mask Name. When loading fails the
// old region is gone and Region is empty (no hot area).
void LoadRegionResource(QRegion& Region, const QString& Name);
// The pixels whose colour differs from the top-left pixel's colour.
QRegion RegionFromBitmap(const QImage& Bitmap);

// Gives every control inside Control, at any depth, its own font with
// anti-aliased (ClearType-like) rendering. Control's own font is unchanged.
void ApplyClearTypeFonts(QWidget* Control);
bool HasClearTypeQuality(const QFont& font);

// The handler pattern of a skinned button: enter loads Base + "_A", leave
// and release load Base + "_NA", a press loads Base + "_DN". With
// OnlyWhileEnabled the handlers leave a disabled button's picture alone.
// The handlers find the image through the event's sender, so one image may
// share them with others.
void SkinButton(TImage* Button, const QString& Base, bool OnlyWhileEnabled = false);
// The handler pattern of a skinned check box whose Tag holds its state (0 or
// 1): the mouse handlers load "CHECKBOX_<state>_A/_NA/_DN/_NA"; a click flips
// Tag and loads the hover picture of the new state.
void SkinCheckBox(TImage* Box);
void PaintCheckBox(TImage* Box, const char* Look);
