#pragma once

#include <QString>

#include <functional>

class QLabel;

// The editing commands of an image view (a label showing a pixmap), through the
// clipboard. The commands that change the image then run the view's action.
namespace VKImageViewCategories {

using Action = std::function<void()>;

// Puts the image on the clipboard; false when there is none.
bool doCopy(const QLabel* view);
void copy(const QLabel* view);
void cut(QLabel* view, const Action& action);
// Shows the clipboard's image, when it holds one.
void paste(QLabel* view, const Action& action);
// The "delete:" command: removes the image.
void deleteImage(QLabel* view, const Action& action);
// copy: needs an image; cut: and delete: also an editable view; paste: an editable
// view and an image on the clipboard; every other command is enabled.
bool validateMenuItem(const QLabel* view, bool editable, const QString& selector);

} // namespace VKImageViewCategories
