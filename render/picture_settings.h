#pragma once
// What the picture shows and at what size it is laid out and drawn.

class PictureSettings {
public:
    virtual ~PictureSettings() = default;

    // The size overlays are laid out in and whose shape the picture keeps
    // (before Init; by default the window's own size, so nothing scales).
    virtual void SetLayoutSize(unsigned width, unsigned height) = 0;
    // The size the picture is drawn at (before Init; by default the
    // window's), shown scaled to fit the window when that differs.
    virtual void SetPictureSize(unsigned width, unsigned height) = 0;
    // Whether frames show the scene (the default) or only the texts over a
    // black picture, as before a show has begun.
    virtual void SetSceneShown(bool shown) = 0;
};
