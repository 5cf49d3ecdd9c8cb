// The artwork is registered by the Qt resource objects linked with this
// library; this unit only gives the library a source of its own.
namespace {
[[maybe_unused]] const int kArtLibrary = 0;
}
