#pragma once
// Small named shared-memory objects, local to the user. An object lives
// while its creator holds it open: one left behind by a process that ended
// (also by a crash) is not found by Open. One installed instance
// (SharedMemory()); tests install their own.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform {

using MappingHandle = intptr_t;

class ISharedMemory {
public:
    virtual ~ISharedMemory() = default;
    // Creates the object of that size, or takes over the one of that name.
    virtual std::optional<MappingHandle> Create(const std::string& name, size_t size) = 0;
    // Opens the live object of that name for reading.
    virtual std::optional<MappingHandle> Open(const std::string& name) = 0;
    virtual std::optional<std::vector<uint8_t>> Read(MappingHandle handle, size_t size) = 0;
    virtual bool Write(MappingHandle handle, const std::vector<uint8_t>& bytes) = 0;
    virtual void Close(MappingHandle handle) = 0;
};

ISharedMemory& SharedMemory();
void SetSharedMemory(ISharedMemory* memory);

} // namespace platform
