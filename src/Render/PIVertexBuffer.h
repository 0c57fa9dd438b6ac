#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "Render/PDeviceObject.h"
#include "Render/PVertex.h"
#include "core/PMMObject.h"
#include "platform/gfx/IndexBuffer.h"
#include "platform/gfx/VertexBuffer.h"

class CPIVBlock;
class CPRenderObjectBase;
struct SPMeshBuffers;

// The streaming buffers of dynamic geometry: a ring of vertex/index buffer pairs in the
// device's default pool (three for a dynamic ring, one for a static one). Each frame the render
// block locks the current pair, streams its batches into it with FillBlock and unlocks it,
// which moves the ring on; every lock discards the pair's old contents. A device reset
// destroys the buffers and creates them again with the same sizes.
class CPIVertexBuffer : public IPMMObject, public IPDeviceObject {
public:
    static constexpr int32_t kDynamicPairs = 3;
    // What one pair may hold: usedVertices stays below kVertexLimit (16-bit indices) and
    // usedIndices below kIndexLimit.
    static constexpr int32_t kVertexLimit = 0x10000;
    static constexpr int32_t kIndexLimit = 0x40000;
    // The pair sizes when Create is given none: as large as a pair may use.
    static constexpr int32_t kDefaultMaxVertices = kVertexLimit;
    static constexpr int32_t kDefaultMaxIndices = kIndexLimit;

    CPIVertexBuffer();
    ~CPIVertexBuffer() override;

    // Builds the ring: 0 sizes mean the defaults. False when the ring already exists (nothing
    // changes) or a buffer could not be made (the others are still made).
    bool Create(bool isStatic, int32_t maxVertices, int32_t maxIndices);
    // Locks the current pair from its start for writing (0 counts: the whole buffers),
    // discarding its contents. False when already locked or the lock fails.
    bool Lock(int32_t vertexCount, int32_t indexCount);
    // Unlocks the current pair and moves the ring on. False when not locked.
    bool Unlock();
    // Streams one batch into the locked pair and records where it landed (CPIVBlock). A batch
    // stays in one pair: when it does not fit in what is left of the current pair, it starts the
    // next pair (as long as the ring has a pair not yet used since Lock). When a batch cannot be
    // held whole even so, its largest objects are dropped for the frame until the rest fits; an
    // object that writes an index outside its own vertices is dropped too. False when nothing is
    // locked.
    bool FillBlock(CPIVBlock& block);

    void OnLostDevice() override;
    void OnResetDevice() override;

    int32_t GetSize() const override { return static_cast<int32_t>(sizeof(*this)); }
    std::string GetClassName() const override { return "CPIVertexBuffer"; }

    int32_t GetCount() const { return m_count; }
    int32_t GetCurrent() const { return m_current; }
    bool IsLocked() const { return m_locked; }
    int32_t GetMaxVertices() const { return m_maxVertices; }
    int32_t GetMaxIndices() const { return m_maxIndices; }
    int32_t GetUsedVertices() const { return m_usedVertices; }
    int32_t GetUsedIndices() const { return m_usedIndices; }
    // The pair at a ring position; null where none exists.
    const platform::gfx::VertexBuffer* GetVertexBuffer(int32_t position) const;
    const platform::gfx::IndexBuffer* GetIndexBuffer(int32_t position) const;

private:
    enum class Written { All, NeedsNextPair };

    bool LockCurrent(int32_t vertexCount, int32_t indexCount);
    // Unlocks and destroys every buffer of the ring.
    void ReleaseBuffers();
    // Moves to the next pair unless every pair of the ring has been used since Lock.
    bool StartNextPair();
    bool Fits(int32_t indices, int32_t vertices) const;
    void RecordPlace(CPIVBlock& block) const;
    Written WriteDynamic(CPIVBlock& block, bool mayMove);
    static bool IsWritten(const CPRenderObjectBase& object);
    // Marks in m_leftOut the objects of a batch that cannot all be written from the current
    // place: the largest, until the rest fits.
    void LeaveOutWhatCrowdsOthersOut(const CPIVBlock& block);
    bool WriteObject(CPRenderObjectBase& object, int32_t indices, int32_t vertices);
    void GroupByMesh(CPIVBlock& block);

    std::unique_ptr<platform::gfx::VertexBuffer> m_vertexBuffers[kDynamicPairs];
    std::unique_ptr<platform::gfx::IndexBuffer> m_indexBuffers[kDynamicPairs];
    int32_t m_current = 0;
    int32_t m_count = 0;
    bool m_isStatic = false;
    bool m_locked = false;
    int32_t m_maxIndices = 0;
    int32_t m_maxVertices = 0;
    SPVertex* m_vertexCursor = nullptr;
    uint16_t* m_indexCursor = nullptr;
    int32_t m_usedIndices = 0;
    int32_t m_usedVertices = 0;
    // What the current lock covers.
    int32_t m_lockedIndices = 0;
    int32_t m_lockedVertices = 0;
    int32_t m_pairsSinceLock = 0;
    // The grouping table of FillBlock, kept between frames: (mesh, submission order, object).
    struct Grouped {
        const SPMeshBuffers* mesh;
        size_t order;
        CPRenderObjectBase* object;
    };
    std::vector<Grouped> m_grouping;
    // Per object of the batch being written: left out this frame (kept between frames).
    std::vector<bool> m_leftOut;
};
