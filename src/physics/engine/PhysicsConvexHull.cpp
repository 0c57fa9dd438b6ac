#include "physics/engine/PhysicsConvexHull.h"

#include <cmath>

#include "physics/engine/PhysicsTerrainCandidates.h"

namespace {

constexpr int kMaxFaces = 100;
constexpr int kMaxStackedPairs = 200;
constexpr uint8_t kEndOfList = 255;

// Box tables: faces +Y, -Y, +X, -X, +Z, -Z; vertex k has the signs of bits 2 (x), 1 (y), 0 (z).
const PhysicsVector kBoxPlanes[6] = {{0, 1, 0, 0}, {0, -1, 0, 0}, {1, 0, 0, 0}, {-1, 0, 0, 0}, {0, 0, 1, 0}, {0, 0, -1, 0}};
const uint8_t kBoxNeighbours[24] = {2, 3, 4, 5, 2, 3, 4, 5, 0, 1, 4, 5, 0, 1, 4, 5, 0, 1, 2, 3, 0, 1, 2, 3};
const uint8_t kBoxFaceVertices[24] = {2, 3, 6, 7, 0, 1, 4, 5, 4, 5, 6, 7, 0, 1, 2, 3, 1, 3, 5, 7, 0, 2, 4, 6};
const uint8_t kBoxFaceEdges[24] = {0, 1, 2, 3, 4, 5, 6, 7, 0, 4, 8, 9, 1, 5, 10, 11, 2, 8, 6, 10, 3, 7, 9, 11};
const uint8_t kBoxVertexEdgeLists[8][4] = {{5, 7, 11, kEndOfList}, {5, 6, 10, kEndOfList}, {1, 3, 11, kEndOfList},
                                           {1, 2, 10, kEndOfList},  {4, 7, 9, kEndOfList},  {4, 6, 8, kEndOfList},
                                           {0, 3, 9, kEndOfList},   {0, 2, 8, kEndOfList}};
const uint8_t* const kBoxVertexEdges[8] = {kBoxVertexEdgeLists[0], kBoxVertexEdgeLists[1], kBoxVertexEdgeLists[2],
                                           kBoxVertexEdgeLists[3], kBoxVertexEdgeLists[4], kBoxVertexEdgeLists[5],
                                           kBoxVertexEdgeLists[6], kBoxVertexEdgeLists[7]};
const uint8_t kBoxEdges[12][4] = {{0, 2, 6, 7}, {0, 3, 2, 3}, {0, 4, 3, 7}, {0, 5, 2, 6}, {1, 2, 4, 5}, {1, 3, 0, 1},
                                  {1, 4, 1, 5}, {1, 5, 0, 4}, {2, 4, 5, 7}, {2, 5, 4, 6}, {3, 4, 1, 3}, {3, 5, 0, 2}};

// Triangle tables: face 0 in front, face 1 behind.
const uint8_t kTriangleNeighbours[6] = {1, 1, 1, 0, 0, 0};
const uint8_t kTriangleFaceVertices[6] = {0, 1, 2, 0, 1, 2};
const uint8_t kTriangleFaceEdges[6] = {0, 1, 2, 0, 1, 2};
const uint8_t kTriangleVertexEdgeLists[3][3] = {{0, 2, kEndOfList}, {0, 1, kEndOfList}, {1, 2, kEndOfList}};
const uint8_t* const kTriangleVertexEdges[3] = {kTriangleVertexEdgeLists[0], kTriangleVertexEdgeLists[1],
                                                kTriangleVertexEdgeLists[2]};
const uint8_t kTriangleEdges[3][4] = {{0, 1, 0, 1}, {0, 1, 1, 2}, {0, 1, 2, 0}};

// A shape seen as a hull, placed in the world.
struct Hull {
    PhysicsHullData data;
    PhysicsTransform transform;
    bool isBox = false;
    bool isTriangle = false;
    PhysicsVector boxVertices[8];
    PhysicsVector trianglePlanes[2];
    PhysicsVector triangleVertices[3];
    PhysicsVector sideNormals[3];  // triangle only: pointing into the triangle from each edge

    PhysicsVector WorldVertex(int v) const { return TransformPoint(transform, data.vertices[v]); }
    PhysicsVector WorldNormal(int f) const { return ToWorld(transform.axes, data.planes[f]); }
    PhysicsVector EdgeDirection(int e) const { return WorldVertex(data.edges[e][3]) - WorldVertex(data.edges[e][2]); }
    const uint8_t* FaceEdges(int f) const { return data.faceEdges + f * data.edgesPerFace; }
    const uint8_t* FaceNeighbours(int f) const { return data.faceNeighbours + f * data.edgesPerFace; }
    int FaceFirstVertex(int f) const { return data.faceVertices[f * data.edgesPerFace]; }
};

bool InitHull(Hull& hull, const PhysicsGeometry& geometry, const PhysicsTransform& transform)
{
    hull.transform = transform;
    if (geometry.type == PhysicsGeometry::kBox) {
        hull.isBox = true;
        for (int k = 0; k < 8; ++k)
            hull.boxVertices[k] = {(k & 4) ? geometry.shape.x : -geometry.shape.x,
                                   (k & 2) ? geometry.shape.y : -geometry.shape.y,
                                   (k & 1) ? geometry.shape.z : -geometry.shape.z, 0};
        hull.data = PhysicsHullData{6, 8, 12, 4, kBoxPlanes, hull.boxVertices, kBoxNeighbours, kBoxFaceVertices,
                                    kBoxFaceEdges, kBoxVertexEdges, kBoxEdges};
        return true;
    }
    if (geometry.type != PhysicsGeometry::kConvexHull || !geometry.hullData) return false;
    hull.data = *static_cast<const PhysicsHullData*>(geometry.hullData);
    return hull.data.faceCount > 0 && hull.data.faceCount <= kMaxFaces && hull.data.vertexCount > 0;
}

void InitTriangleHull(Hull& hull, const PhysicsTriangleInfo& triangle)
{
    hull.isTriangle = true;
    hull.transform = PhysicsTransform{};
    for (int v = 0; v < 3; ++v) hull.triangleVertices[v] = triangle.p[v];
    hull.trianglePlanes[0] = {triangle.normal.x, triangle.normal.y, triangle.normal.z, triangle.offset};
    hull.trianglePlanes[1] = {-triangle.normal.x, -triangle.normal.y, -triangle.normal.z, -triangle.offset};
    for (int e = 0; e < 3; ++e) hull.sideNormals[e] = Normalized(Cross(triangle.normal, triangle.e[e]));
    hull.data = PhysicsHullData{2, 3, 3, 3, hull.trianglePlanes, hull.triangleVertices, kTriangleNeighbours,
                                kTriangleFaceVertices, kTriangleFaceEdges, kTriangleVertexEdges, kTriangleEdges};
}

// The best plane of the Minkowski difference found so far.
struct Best {
    float measure = -1000000.0f;
    PhysicsVector normal;
    float offset = 0.0f;
    int kind = 0;     // 1 a face of P against a vertex of Q, 2 an edge of each
    bool pIsA = true;  // for kind 1: whether P was A
    int featureP = -1;
    int featureQ = -1;
};

struct Search {
    PhysicsVector offsetD;
    float lengthD = 0.0f;
    bool visited[kMaxFaces] = {};

    void SetOffset(const PhysicsVector& d)
    {
        offsetD = d;
        lengthD = Length(d);
    }

    // Below 0 the plane explains a penetration (closer to 0 is better); 0 or more separates.
    float Measure(PhysicsVector n, float w) const
    {
        float x = w;
        if (x < 0.0f) {
            x = -x;
            n = -n;
        }
        const float denominator = (x - Dot(n, offsetD)) * (lengthD > 0.0f ? lengthD : 1.0f);
        if (denominator == 0.0f || !std::isfinite(denominator)) return x == 0.0f ? 0.0f : -1000000.0f;
        return -x / denominator;
    }
};

// Q's vertex deepest against the world normal n.
int SupportVertex(const Hull& q, const PhysicsVector& n)
{
    const PhysicsVector m = -ToLocal(q.transform.axes, n);
    if (q.isBox) return 4 * (m.x >= 0.0f) + 2 * (m.y >= 0.0f) + (m.z >= 0.0f);
    int current = 0;
    float best = Dot(q.data.vertices[0], m);
    for (int guard = 0; guard < 1000; ++guard) {
        int moved = -1;
        for (const uint8_t* e = q.data.vertexEdges[current]; *e != kEndOfList; ++e) {
            const uint8_t* edge = q.data.edges[*e];
            const int other = edge[2] == current ? edge[3] : edge[2];
            const float value = Dot(q.data.vertices[other], m);
            if (value > best) {
                best = value;
                moved = other;
                break;
            }
        }
        if (moved < 0) break;
        current = moved;
    }
    return current;
}

// Tests one face of P; false when its plane separates the shapes.
bool TestFace(Search& search, Best& best, const Hull& p, const Hull& q, int face, bool pIsA, float* measured = nullptr)
{
    const PhysicsVector n = p.WorldNormal(face);
    const float w = Dot(n, p.WorldVertex(p.FaceFirstVertex(face)));
    const int s = SupportVertex(q, n);
    const float offset = w - Dot(n, q.WorldVertex(s));
    const float measure = search.Measure(n, offset);
    if (measured) *measured = measure;
    if (measure >= 0.0f) return false;
    if (measure > best.measure) {
        best = Best{measure, n, offset, 1, pIsA, face, s};
    }
    return true;
}

// Walks P's faces from the start face toward better planes; false when one separates the shapes.
// Neighbours that are as good as the best are walked too, so that coplanar faces (a flat side
// split into triangles) do not stop the walk on a plateau.
bool WalkFaces(Search& search, Best& best, const Hull& p, const Hull& q, int start, bool pIsA)
{
    for (int f = 0; f < p.data.faceCount; ++f) search.visited[f] = false;
    search.visited[start] = true;
    if (!TestFace(search, best, p, q, start, pIsA)) return false;
    int pending[kMaxFaces];
    int pendingCount = 0;
    pending[pendingCount++] = start;
    while (pendingCount > 0) {
        const int current = pending[--pendingCount];
        for (int k = 0; k < p.data.edgesPerFace; ++k) {
            const int neighbour = p.FaceNeighbours(current)[k];
            if (search.visited[neighbour]) continue;
            search.visited[neighbour] = true;
            const float before = best.measure;
            float measure = 0.0f;
            if (!TestFace(search, best, p, q, neighbour, pIsA, &measure)) return false;
            if (best.measure > before) pendingCount = 0;  // a better face: go on from there alone
            if (measure >= best.measure && pendingCount < kMaxFaces) pending[pendingCount++] = neighbour;
        }
    }
    return true;
}

struct EdgePair {
    uint8_t e, f;
};

struct EdgeStack {
    EdgePair pairs[kMaxStackedPairs];
    int count = 0;

    void Push(int e, int f)
    {
        for (int i = 0; i < count; ++i)
            if (pairs[i].e == e && pairs[i].f == f) return;
        if (count < kMaxStackedPairs) pairs[count++] = {static_cast<uint8_t>(e), static_cast<uint8_t>(f)};
    }
};

float Triple(const PhysicsVector& x, const PhysicsVector& y, const PhysicsVector& z) { return Dot(x, Cross(y, z)); }

// The negated world normals of Q's two faces at edge f (for a triangle leaned toward its inside).
void ArcOfQ(const Hull& q, int f, PhysicsVector& c, PhysicsVector& d)
{
    c = -q.WorldNormal(q.data.edges[f][0]);
    d = -q.WorldNormal(q.data.edges[f][1]);
    if (q.isTriangle) {
        c = Normalized(c + q.sideNormals[f] * 0.01f);
        d = Normalized(d + q.sideNormals[f] * 0.01f);
    }
}

// Walks edge pairs of A and B from the seed; false when a plane separates the shapes.
bool WalkEdges(Search& search, Best& best, const Hull& a, const Hull& b, EdgeStack& stack)
{
    const float margin = b.isTriangle ? kPhysicsEpsilon : 0.0f;
    while (stack.count > 0) {
        const EdgePair pair = stack.pairs[--stack.count];
        const int e = pair.e, f = pair.f;
        const PhysicsVector na = a.WorldNormal(a.data.edges[e][0]);
        const PhysicsVector nb = a.WorldNormal(a.data.edges[e][1]);
        PhysicsVector nc, nd;
        ArcOfQ(b, f, nc, nd);
        const float cba = Triple(nc, nb, na), dba = Triple(nd, nb, na);
        const float adc = Triple(na, nd, nc), bdc = Triple(nb, nd, nc);
        if (!(cba * dba < -margin && adc * bdc < -margin && cba * bdc > margin)) continue;

        const PhysicsVector normal = Normalized(Cross(a.EdgeDirection(e), b.EdgeDirection(f)));
        if (LengthSq(normal) == 0.0f) continue;
        const float offset = Dot(normal, a.WorldVertex(a.data.edges[e][2]) - b.WorldVertex(b.data.edges[f][2]));
        const float measure = search.Measure(normal, offset);
        if (measure >= 0.0f) return false;
        if (measure > best.measure) {
            best = Best{measure, normal, offset, 2, true, e, f};
            for (int end = 2; end < 4; ++end)
                for (const uint8_t* g = b.data.vertexEdges[b.data.edges[f][end]]; *g != kEndOfList; ++g)
                    if (*g != f) stack.Push(e, *g);
            for (int end = 2; end < 4; ++end)
                for (const uint8_t* g = a.data.vertexEdges[a.data.edges[e][end]]; *g != kEndOfList; ++g)
                    if (*g != e) stack.Push(*g, f);
        }
    }
    return true;
}

// Seeds the edge walk from a face-vertex best: edges of the face against edges around the vertex.
void SeedEdges(EdgeStack& stack, const Best& best, const Hull& a, const Hull& b)
{
    const Hull& faceOwner = best.pIsA ? a : b;
    const Hull& vertexOwner = best.pIsA ? b : a;
    for (int k = 0; k < faceOwner.data.edgesPerFace; ++k) {
        const int faceEdge = faceOwner.FaceEdges(best.featureP)[k];
        for (const uint8_t* g = vertexOwner.data.vertexEdges[best.featureQ]; *g != kEndOfList; ++g) {
            if (best.pIsA) stack.Push(faceEdge, *g);
            else stack.Push(*g, faceEdge);
        }
    }
}

// The contact of the overall best plane.
bool ContactFromBest(PhysicsTestResult& result, const Best& best, const Hull& a, const Hull& b)
{
    result = PhysicsTestResult{};
    if (best.kind == 2) {
        PhysicsTestResult edges;
        edges.edgeAStart = a.WorldVertex(a.data.edges[best.featureP][2]);
        edges.edgeAEnd = a.WorldVertex(a.data.edges[best.featureP][3]);
        edges.edgeBStart = b.WorldVertex(b.data.edges[best.featureQ][2]);
        edges.edgeBEnd = b.WorldVertex(b.data.edges[best.featureQ][3]);
        float s = 0, t = 0;
        if (!edges.ClosestSegmentPoints(s, t) || !edges.valid) return false;
        result.first = edges.first;
        result.second = edges.second;
        result.normal = best.offset > 0.0f ? -best.normal : best.normal;
        result.depth = std::fabs(best.offset);
        result.edgeContact = 1;
    } else if (!best.pIsA) {
        // A face of B against a vertex of A.
        result.normal = best.normal;
        result.depth = best.offset;
        result.first = a.WorldVertex(best.featureQ);
        result.second = result.first + result.normal * result.depth;
    } else {
        // A face of A against a vertex of B.
        result.normal = -best.normal;
        result.depth = best.offset;
        result.second = b.WorldVertex(best.featureQ);
        result.first = result.second + best.normal * result.depth;
    }
    result.valid = 1;
    return true;
}

// The edge walk from the best face-vertex pair, then the contact of the overall best. When an
// edge pair wins but its closest points fall beyond an edge, the face contact stands: shapes that
// overlap always report a contact.
bool FinishWithEdges(PhysicsTestResult& result, Search& search, const Best& faceBest, const Hull& a, const Hull& b)
{
    Best best = faceBest;
    EdgeStack stack;
    SeedEdges(stack, best, a, b);
    if (!WalkEdges(search, best, a, b, stack)) return false;
    return ContactFromBest(result, best, a, b) || ContactFromBest(result, faceBest, a, b);
}

PhysicsVector Shifted(const PhysicsVector& v, float by) { return {v.x + by, v.y + by, v.z + by, v.w}; }

bool CollideHulls(PhysicsTestResult& result, const Hull& a, const Hull& b)
{
    Search search;
    search.SetOffset(Shifted(a.transform.position, 0.1f) - Shifted(b.transform.position, 0.2f));
    Best first;
    if (!WalkFaces(search, first, a, b, 0, true)) return false;

    search.SetOffset(-search.offsetD);
    Best second = first;
    const int startFace = b.data.edges[b.data.vertexEdges[first.featureQ][0]][0];
    if (!WalkFaces(search, second, b, a, startFace, false)) return false;

    search.SetOffset(-search.offsetD);
    const Best faceBest = second.measure > first.measure ? second : first;
    return FinishWithEdges(result, search, faceBest, a, b);
}

}  // namespace

bool PhysicsCollideConvexPair(PhysicsTestResult& result, const PhysicsGeometry& ga, const PhysicsTransform& ta,
                              const PhysicsGeometry& gb, const PhysicsTransform& tb)
{
    result = PhysicsTestResult{};
    Hull a, b;
    if (!InitHull(a, ga, ta) || !InitHull(b, gb, tb)) return false;
    return CollideHulls(result, a, b);
}

bool PhysicsCollideConvexTriangle(PhysicsTestResult& result, const PhysicsGeometry& hullShape,
                                  const PhysicsTransform& ta, const PhysicsTriangleInfo& triangle)
{
    result = PhysicsTestResult{};
    Hull a, b;
    if (triangle.IsDegenerate() || !InitHull(a, hullShape, ta)) return false;
    InitTriangleHull(b, triangle);

    Search search;
    search.SetOffset(Shifted(a.transform.position, 0.1f) - triangle.Centroid());
    Best first;
    if (!WalkFaces(search, first, a, b, 0, true)) return false;

    // The triangle's two faces, each against A's support vertex.
    search.SetOffset(-search.offsetD);
    Best faces;
    for (int face = 0; face < 2; ++face)
        if (!TestFace(search, faces, b, a, face, false)) return false;

    search.SetOffset(-search.offsetD);
    const Best faceBest = faces.measure > first.measure ? faces : first;
    return FinishWithEdges(result, search, faceBest, a, b);
}

bool PhysicsCollideConvexTerrain(PhysicsTestResult& result, int32_t& materialB, const PhysicsGeometry& hull,
                                 const PhysicsTransform& ta, const PhysicsGeometry& terrain)
{
    return DeepestOverTerrain(result, materialB, terrain,
                              [&](PhysicsTestResult& trial, const PhysicsTriangleInfo& triangle, int32_t, float) {
                                  return PhysicsCollideConvexTriangle(trial, hull, ta, triangle);
                              });
}
