#pragma once

#include <memory>

// Lets go of large values on a thread of its own: freeing the model of a large datafile
// takes a good part of a second that the main thread need not wait for. Once the
// application quits, nothing more is freed: the system takes the memory back at once.
namespace BackgroundRelease {

// Drops this reference later, on the release thread; what it held is freed there when it
// was the last one.
void release(std::shared_ptr<const void> value);
// From now on values are kept to the end instead (when quitting), or freed again.
void setKeeping(bool keeping);
// Waits until every value handed over so far is let go of.
void waitUntilReleased();

} // namespace BackgroundRelease
