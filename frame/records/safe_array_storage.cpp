#include "frame/records/safe_array_storage.h"

#include <cstring>
#include <new>
#include <utility>

namespace numoria::frame {

namespace {

class SafeArrayProvider final : public matrix::StorageProvider {
public:
    std::unique_ptr<matrix::ElementStorage> allocate(matrix::Dimension rows,
                                                     matrix::Dimension columns) noexcept override {
        return SafeArrayStorage::create(rows, columns);
    }
};

SafeArrayProvider g_provider;

} // namespace

SafeArrayStorage::SafeArrayStorage(SafeArray array, double* elements) noexcept
        : ElementStorage(elements), array_(std::move(array)) {}

std::unique_ptr<SafeArrayStorage> SafeArrayStorage::create(matrix::Dimension rows, matrix::Dimension columns) noexcept {
    // The leftmost dimension first: the row is the first subscript.
    SAFEARRAYBOUND bounds[2] = {{rows.count, rows.lowerBound}, {columns.count, columns.lowerBound}};
    SafeArray array(SafeArrayCreate(VT_R8, 2, bounds));
    if (array.get() == nullptr || FAILED(SafeArrayLock(array.get()))) return nullptr;
    auto* elements = static_cast<double*>(array.get()->pvData);
    // Zero whatever the platform's allocator left there: the core's arrays
    // start as 0.0 everywhere.
    std::memset(elements, 0, static_cast<std::size_t>(rows.count) * columns.count * sizeof(double));
    std::unique_ptr<SafeArrayStorage> storage(new (std::nothrow) SafeArrayStorage(std::move(array), elements));
    if (storage == nullptr) SafeArrayUnlock(array.get());
    return storage;
}

SafeArrayStorage::~SafeArrayStorage() {
    if (array_.get() != nullptr) SafeArrayUnlock(array_.get());
}

SAFEARRAY* SafeArrayStorage::takeArray(matrix::ElementArray& elements) noexcept {
    if (dynamic_cast<const SafeArrayStorage*>(elements.storage()) == nullptr) return nullptr;
    std::unique_ptr<matrix::ElementStorage> block = elements.releaseStorage();
    SafeArray& array = static_cast<SafeArrayStorage&>(*block).array_;
    SafeArrayUnlock(array.get());
    return array.release();
}

matrix::StorageProvider& safeArrayStorage() noexcept { return g_provider; }

} // namespace numoria::frame
