#include "physics/engine/PhysicsRegion.h"

#include <new>
#include <type_traits>
#include <utility>

#include "physics/engine/PhysicsRigidBody.h"
#include "physics/engine/PhysicsSimulator.h"

namespace {

bool HasEndpoints(const PhysicsBody* body)
{
    for (int32_t axis = 0; axis < 3; ++axis)
        if (body->endpoints[axis][0]) return true;
    return false;
}

bool IsParticle(const PhysicsBody* body)
{
    return body->IsRigid() && static_cast<const PhysicsRigidBody*>(body)->IsParticle();
}

// Which body of a pair comes first in the overlap list: a rigid body before a particle before an
// animated body, so that B is the animated body or the particle of a mixed pair.
int32_t PairRank(const PhysicsBody* body)
{
    if (body->IsAnimated()) return 2;
    return IsParticle(body) ? 1 : 0;
}

// Order of the endpoint lists, largest first: a larger value, and at an equal value a minimum
// before a maximum, so that boxes that only touch never count as overlapping.
bool IsAbove(const PhysicsEndpoint* x, const PhysicsEndpoint* e)
{
    if (x->value != e->value) return x->value > e->value;
    return x->kind == PhysicsEndpoint::kMinimum && e->kind == PhysicsEndpoint::kMaximum;
}

template <typename T>
T* AllocateArray(PhysicsAllocator& allocator, std::size_t count)
{
    if (count == 0) return nullptr;
    void* memory = allocator.Alloc(sizeof(T) * count, alignof(T));
    if (!memory) return nullptr;
    T* array = static_cast<T*>(memory);
    for (std::size_t i = 0; i < count; ++i) new (&array[i]) T();
    return array;
}

// The pair tables: zeroed memory is a table of fresh entries.
static_assert(std::is_trivially_copyable_v<PhysicsPairEntry>);
void* AllocateZeroed(PhysicsAllocator& allocator, std::size_t bytes)
{
    return bytes == 0 ? nullptr : allocator.AllocZeroed(bytes, alignof(PhysicsPairEntry));
}

}  // namespace

bool PhysicsRegion::Init(PhysicsSimulator& simulator, int32_t axisMask)
{
    Destroy();
    m_simulator = &simulator;
    m_axisMask = axisMask & 7;
    const PhysicsSizeInfo& sizes = simulator.GetSizeInfo();
    m_bodyCount = sizes.rigidBodiesCount + sizes.animatedBodyCount;
    m_particleCount = sizes.rigidParticleCount;
    const int32_t members = m_bodyCount + m_particleCount;
    PhysicsAllocator& allocator = simulator.Allocator();

    const std::size_t bodyPairs = static_cast<std::size_t>(m_bodyCount) * static_cast<std::size_t>(m_bodyCount - 1) / 2;
    const std::size_t particlePairs = static_cast<std::size_t>(m_bodyCount) * static_cast<std::size_t>(m_particleCount);
    m_bodyPairs = static_cast<PhysicsPairEntry*>(AllocateZeroed(allocator, sizeof(PhysicsPairEntry) * bodyPairs));
    m_particlePairs = static_cast<PhysicsPairEntry*>(AllocateZeroed(allocator, sizeof(PhysicsPairEntry) * particlePairs));
    m_pending = AllocateArray<PendingAddition>(allocator, static_cast<std::size_t>(members));
    m_pendingCapacity = members;
    bool ok = (bodyPairs == 0 || m_bodyPairs) && (particlePairs == 0 || m_particlePairs) && (members == 0 || m_pending);
    ok = ok && m_memberPool.Create(allocator, members) && m_overlapPool.Create(allocator, sizes.pairBufferCount);
    for (int32_t axis = 0; axis < 3 && ok; ++axis) ok = m_endpointPools[axis].Create(allocator, 2 * members);
    return ok;
}

void PhysicsRegion::Destroy()
{
    if (!m_simulator) return;
    PhysicsAllocator& allocator = m_simulator->Allocator();
    if (m_bodyPairs) allocator.Free(m_bodyPairs);
    if (m_particlePairs) allocator.Free(m_particlePairs);
    if (m_pending) allocator.Free(m_pending);
    m_bodyPairs = m_particlePairs = nullptr;
    m_pending = nullptr;
    m_pendingCount = m_pendingCapacity = 0;
    m_memberPool.Destroy();
    m_members.Clear();
    m_overlapPool.Destroy();
    m_overlaps.Clear();
    m_walkNext = nullptr;
    for (int32_t axis = 0; axis < 3; ++axis) {
        m_endpointPools[axis].Destroy();
        m_axes[axis].Clear();
    }
    m_terrainTree.Clear();
    m_simulator = nullptr;
}

PhysicsPairEntry* PhysicsRegion::GetPairEntry(const PhysicsBody* a, const PhysicsBody* b)
{
    int32_t low = a->index, high = b->index;
    if (low > high) std::swap(low, high);
    if (high < m_bodyCount) return &m_bodyPairs[static_cast<std::size_t>(high) * (high - 1) / 2 + low];
    if (low < m_bodyCount) return &m_particlePairs[(high - m_bodyCount) + static_cast<std::size_t>(low) * m_particleCount];
    return nullptr;  // two particles: never tracked
}

PhysicsOverlapPair* PhysicsRegion::FirstPair()
{
    m_walkNext = m_overlaps.head;
    return NextPair();
}

PhysicsOverlapPair* PhysicsRegion::NextPair()
{
    PhysicsOverlapPair* pair = m_walkNext;
    if (pair) m_walkNext = pair->next;
    return pair;
}

void PhysicsRegion::AddBody(PhysicsBody* body, PhysicsBody* hint)
{
    if (body->inRegion || !m_memberPool.IsCreated()) return;
    if (!body->waitingForAddition && m_pendingCount < m_pendingCapacity) m_pending[m_pendingCount++] = {body, hint};
    PhysicsRegionMember* member = m_memberPool.Take();
    if (!member) return;
    member->body = body;
    m_members.Prepend(member);
    body->member = member;
    body->inRegion = 1;
    body->waitingForAddition = 1;
}

void PhysicsRegion::PurgePending(PhysicsBody* body)
{
    // The record leaves the array, so that it never holds more records than bodies that wait.
    int32_t kept = 0;
    for (int32_t i = 0; i < m_pendingCount; ++i) {
        if (m_pending[i].body == body) continue;
        if (m_pending[i].hint == body) m_pending[i].hint = nullptr;
        m_pending[kept++] = m_pending[i];
    }
    m_pendingCount = kept;
}

void PhysicsRegion::RemoveBody(PhysicsBody* body)
{
    if (!body->inRegion) return;
    if (body->waitingForAddition) {
        PurgePending(body);
        body->waitingForAddition = 0;
    }
    for (int32_t axis = 0; axis < 3; ++axis)
        for (int32_t end = 0; end < 2; ++end) {
            PhysicsEndpoint* endpoint = body->endpoints[axis][end];
            if (!endpoint) continue;
            m_axes[axis].Unlink(endpoint);
            m_endpointPools[axis].Return(endpoint);
            body->endpoints[axis][end] = nullptr;
        }
    m_members.Unlink(body->member);
    m_memberPool.Return(body->member);
    body->member = nullptr;
    body->inRegion = 0;

    PhysicsOverlapPair* next = nullptr;
    for (PhysicsOverlapPair* pair = m_overlaps.head; pair; pair = next) {
        next = pair->next;
        if (pair->bodyA == body || pair->bodyB == body) DropPair(*GetPairEntry(pair->bodyA, pair->bodyB));
    }
}

void PhysicsRegion::Update()
{
    m_sortVisits = m_sortSwaps = 0;
    for (int32_t axis = 0; axis < 3; ++axis)
        if (IsEnabled(axis)) SortAxis(axis, true);

    for (int32_t i = 0; i < m_pendingCount; ++i) {
        PhysicsBody* body = m_pending[i].body;
        if (!body->inUse || !body->waitingForAddition) continue;
        body->waitingForAddition = 0;
        Insert(body, m_pending[i].hint);
        for (PhysicsRegionMember* member = m_members.head; member; member = member->next) {
            PhysicsBody* other = member->body;
            if (other == body || !HasEndpoints(other)) continue;
            if (IsParticle(body) && IsParticle(other)) continue;
            CheckPair(body, other);
        }
    }
    m_pendingCount = 0;
}

void PhysicsRegion::SortAxis(int32_t axis, bool toggle)
{
    PhysicsList<PhysicsEndpoint>& list = m_axes[axis];
    const uint8_t axisBit = static_cast<uint8_t>(1 << axis);
    // Insertion sort from the smallest end: the endpoints after `e` are already in order, and
    // e moves down past every endpoint that now lies above it.
    PhysicsEndpoint* e = list.tail ? list.tail->prev : nullptr;
    while (e) {
        PhysicsEndpoint* previous = e->prev;
        ++m_sortVisits;
        PhysicsEndpoint* x = e->next;
        while (x) {
            if (x->body == e->body) {
                // A minimum passes its own maximum; a maximum stops above its own minimum.
                if (e->kind == PhysicsEndpoint::kMaximum) break;
            } else {
                if (!IsAbove(x, e)) break;
                ++m_sortSwaps;
                if (toggle && x->kind != e->kind && !(IsParticle(x->body) && IsParticle(e->body)))
                    ToggleAxis(e->body, x->body, axisBit);
            }
            x = x->next;
        }
        if (x != e->next) {
            list.Unlink(e);
            if (x) {
                e->prev = x->prev;
                e->next = x;
                x->prev->next = e;
                x->prev = e;
                ++list.count;
            } else {
                list.Append(e);
            }
        }
        e = previous;
    }
}

void PhysicsRegion::ToggleAxis(PhysicsBody* a, PhysicsBody* b, uint8_t axisBit)
{
    PhysicsPairEntry* entry = GetPairEntry(a, b);
    if (!entry) return;
    const uint8_t mask = static_cast<uint8_t>(m_axisMask);
    const bool wasOverlapping = (entry->bits & mask) == mask;
    entry->bits ^= axisBit;
    if (wasOverlapping) {
        DropPair(*entry);
        return;
    }
    if ((entry->bits & mask) == mask &&
        m_simulator->GetCollisionTable().Get(a->collisionClass, b->collisionClass) != 0)
        ReportPair(*entry, a, b);
}

void PhysicsRegion::ReportPair(PhysicsPairEntry& entry, PhysicsBody* a, PhysicsBody* b)
{
    if (entry.IsListed()) return;
    PhysicsOverlapPair* pair = m_overlapPool.Take();
    if (!pair) {
        m_simulator->Message("Overlap Pair buffer full. Increase buffer size.\n");
        m_simulator->LogOutput(1);
        return;
    }
    if (PairRank(b) < PairRank(a)) std::swap(a, b);
    pair->bodyA = a;
    pair->bodyB = b;
    m_overlaps.Prepend(pair);
    entry.SetNode(m_overlapPool.SlotOf(pair));
}

void PhysicsRegion::DropPair(PhysicsPairEntry& entry)
{
    if (!entry.IsListed()) return;
    PhysicsOverlapPair* pair = m_overlapPool.At(entry.Node());
    if (pair == m_walkNext) m_walkNext = pair->next;
    m_overlaps.Unlink(pair);
    m_overlapPool.Return(pair);
    entry.Unlist();
}

void PhysicsRegion::CheckPair(PhysicsBody* added, PhysicsBody* member)
{
    PhysicsPairEntry* entry = GetPairEntry(added, member);
    if (!entry) return;
    uint8_t bits = 0;
    for (int32_t axis = 0; axis < 3; ++axis)
        if (At(added->worldMin, axis) < At(member->worldMax, axis) && At(added->worldMax, axis) > At(member->worldMin, axis))
            bits |= static_cast<uint8_t>(1 << axis);
    entry->bits = bits;
    DropPair(*entry);
    const uint8_t mask = static_cast<uint8_t>(m_axisMask);
    if ((bits & mask) == mask) ReportPair(*entry, added, member);
}

void PhysicsRegion::Insert(PhysicsBody* body, PhysicsBody* hint)
{
    body->UpdateWorldBox();
    for (int32_t axis = 0; axis < 3; ++axis) {
        if (!IsEnabled(axis)) continue;
        PhysicsEndpoint* low = m_endpointPools[axis].Take();
        PhysicsEndpoint* high = m_endpointPools[axis].Take();
        if (!low || !high) return;  // cannot happen: the pools hold two endpoints per member
        low->kind = PhysicsEndpoint::kMinimum;
        low->value = At(body->worldMin, axis);
        low->body = body;
        high->kind = PhysicsEndpoint::kMaximum;
        high->value = At(body->worldMax, axis);
        high->body = body;
        PhysicsEndpoint* start = nullptr;
        if (hint && hint != body && hint->endpoints[axis][0] && At(hint->worldMin, axis) != 0.0f)
            start = hint->endpoints[axis][0];
        InsertEndpoint(axis, high, start);
        InsertEndpoint(axis, low, high);
        body->endpoints[axis][0] = low;
        body->endpoints[axis][1] = high;
    }
}

void PhysicsRegion::InsertEndpoint(int32_t axis, PhysicsEndpoint* endpoint, PhysicsEndpoint* start)
{
    PhysicsList<PhysicsEndpoint>& list = m_axes[axis];
    PhysicsEndpoint* x = start ? start : list.head;
    // Back up while the endpoint belongs above x, then move down past everything above it.
    while (x && x->prev && !IsAbove(x->prev, endpoint)) x = x->prev;
    while (x && (IsAbove(x, endpoint) || (x->body == endpoint->body && endpoint->kind == PhysicsEndpoint::kMinimum)))
        x = x->next;
    if (!x) {
        list.Append(endpoint);
        return;
    }
    endpoint->prev = x->prev;
    endpoint->next = x;
    if (x->prev) x->prev->next = endpoint; else list.head = endpoint;
    x->prev = endpoint;
    ++list.count;
}

bool PhysicsRegion::SetTerrainMesh(const PhysicsTriangleMesh& mesh)
{
    if (!m_simulator) return false;  // the region never got its memory
    return m_terrainTree.BuildTree(mesh.vertices, mesh.vertexCount, mesh.triangles, mesh.triangleCount,
                                   &m_simulator->Allocator());
}
