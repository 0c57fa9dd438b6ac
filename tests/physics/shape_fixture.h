#pragma once
#include <array>
#include <cmath>
#include <memory>
#include <vector>

#include "physics/engine/PhysicsConvexHull.h"
#include "physics/engine/PhysicsGeometry.h"
#include "physics/engine/PhysicsNarrowPhase.h"

// Shapes and placements for the pair tests.

inline PhysicsQuaternion AxisAngle(PhysicsVector axis, float angle)
{
    axis = Normalized(axis);
    const float s = std::sin(angle / 2);
    return {axis.x * s, axis.y * s, axis.z * s, std::cos(angle / 2)};
}

// The rotation that turns the local Y axis (a capsule's axis) onto the direction.
inline PhysicsQuaternion TurnYToward(PhysicsVector direction)
{
    direction = Normalized(direction);
    const PhysicsVector y{0, 1, 0, 0};
    const PhysicsVector turn = Cross(y, direction);
    const float sine = std::sqrt(LengthSq(turn));
    const float angle = std::atan2(sine, Dot(y, direction));
    if (sine == 0.0f) return angle > 1.0f ? AxisAngle({1, 0, 0, 0}, angle) : PhysicsQuaternion{0, 0, 0, 1};
    const PhysicsVector axis = turn * (std::sin(angle / 2) / sine);
    return {axis.x, axis.y, axis.z, std::cos(angle / 2)};
}

inline PhysicsTransform Place(PhysicsVector position, PhysicsQuaternion rotation = {})
{
    PhysicsTransform t;
    t.axes = AxesFromQuaternion(Normalized(rotation));
    t.position = {position.x, position.y, position.z, 1};
    return t;
}

inline PhysicsGeometry Box(float x, float y, float z)
{
    PhysicsGeometry g;
    g.Init();
    g.SetBox(x, y, z);
    return g;
}

// A capsule along its local Y axis.
inline PhysicsGeometry Capsule(float radius, float length)
{
    PhysicsGeometry g;
    g.Init();
    g.SetCylinder(2 * radius, length);
    return g;
}

inline PhysicsGeometry Sphere(float radius)
{
    PhysicsGeometry g;
    g.Init();
    g.SetSphere(radius);
    return g;
}

// The tables of a convex hull made of triangles (outward, counter-clockwise), built the slow way.
struct HullTables {
    std::vector<PhysicsVector> planes;
    std::vector<PhysicsVector> vertices;
    std::vector<uint8_t> neighbours, faceVertices, faceEdges;
    std::vector<std::vector<uint8_t>> vertexEdgeLists;
    std::vector<const uint8_t*> vertexEdges;
    std::vector<std::array<uint8_t, 4>> edges;
    PhysicsHullData data;
    PhysicsGeometry geometry;

    HullTables(std::vector<PhysicsVector> points, const std::vector<std::array<int, 3>>& triangles)
        : vertices(std::move(points))
    {
        for (std::size_t f = 0; f < triangles.size(); ++f) {
            const auto& t = triangles[f];
            const PhysicsVector n = Normalized(Cross(vertices[t[1]] - vertices[t[0]], vertices[t[2]] - vertices[t[0]]));
            planes.push_back({n.x, n.y, n.z, Dot(n, vertices[t[0]])});
            for (int k = 0; k < 3; ++k) {
                const int p = t[k], q = t[(k + 1) % 3];
                int found = -1;
                for (std::size_t e = 0; e < edges.size(); ++e)
                    if (edges[e][2] == q && edges[e][3] == p) found = static_cast<int>(e);
                if (found < 0) {
                    edges.push_back({static_cast<uint8_t>(f), 0, static_cast<uint8_t>(p), static_cast<uint8_t>(q)});
                    found = static_cast<int>(edges.size()) - 1;
                } else {
                    edges[found][1] = static_cast<uint8_t>(f);
                }
                faceVertices.push_back(static_cast<uint8_t>(t[k]));
                faceEdges.push_back(static_cast<uint8_t>(found));
            }
        }
        for (std::size_t f = 0; f < triangles.size(); ++f)
            for (int k = 0; k < 3; ++k) {
                const auto& e = edges[faceEdges[f * 3 + k]];
                neighbours.push_back(e[0] == f ? e[1] : e[0]);
            }
        vertexEdgeLists.resize(vertices.size());
        for (std::size_t e = 0; e < edges.size(); ++e) {
            vertexEdgeLists[edges[e][2]].push_back(static_cast<uint8_t>(e));
            vertexEdgeLists[edges[e][3]].push_back(static_cast<uint8_t>(e));
        }
        for (auto& list : vertexEdgeLists) {
            list.push_back(255);
            vertexEdges.push_back(list.data());
        }
        data.faceCount = static_cast<int32_t>(triangles.size());
        data.vertexCount = static_cast<int32_t>(vertices.size());
        data.edgeCount = static_cast<int32_t>(edges.size());
        data.edgesPerFace = 3;
        data.planes = planes.data();
        data.vertices = vertices.data();
        data.faceNeighbours = neighbours.data();
        data.faceVertices = faceVertices.data();
        data.faceEdges = faceEdges.data();
        data.vertexEdges = vertexEdges.data();
        data.edges = reinterpret_cast<const uint8_t(*)[4]>(edges.data());
        geometry.Init();
        geometry.SetConvexHull(&data);
    }
    HullTables(const HullTables&) = delete;
};

// A box of the given half extents as a hull of twelve triangles.
inline std::unique_ptr<HullTables> BoxHull(float hx, float hy, float hz)
{
    std::vector<PhysicsVector> corners;
    for (int k = 0; k < 8; ++k) corners.push_back({(k & 4) ? hx : -hx, (k & 2) ? hy : -hy, (k & 1) ? hz : -hz, 0});
    // Faces as quads (outward, counter-clockwise), each split into two triangles.
    const int quads[6][4] = {{4, 6, 7, 5}, {0, 1, 3, 2}, {2, 3, 7, 6}, {0, 4, 5, 1}, {1, 5, 7, 3}, {0, 2, 6, 4}};
    std::vector<std::array<int, 3>> triangles;
    for (const auto& q : quads) {
        triangles.push_back({q[0], q[1], q[2]});
        triangles.push_back({q[0], q[2], q[3]});
    }
    return std::make_unique<HullTables>(corners, triangles);
}

// An octahedron of the given radius.
inline std::unique_ptr<HullTables> OctahedronHull(float r)
{
    std::vector<PhysicsVector> points = {{r, 0, 0, 0}, {-r, 0, 0, 0}, {0, r, 0, 0}, {0, -r, 0, 0}, {0, 0, r, 0}, {0, 0, -r, 0}};
    std::vector<std::array<int, 3>> triangles = {{0, 2, 4}, {2, 1, 4}, {1, 3, 4}, {3, 0, 4},
                                                  {2, 0, 5}, {1, 2, 5}, {3, 1, 5}, {0, 3, 5}};
    return std::make_unique<HullTables>(points, triangles);
}
