#include <initializer_list>

#include "physics/engine/PhysicsSimulator.h"

// Stacking groups: bodies resting on one another are joined into a group and solved together;
// bodies that rest only on the terrain or animated bodies are kept in the lone list.

PhysicsStackingRecord* PhysicsSimulator::TakeStackingRecord(PhysicsRigidBody* body)
{
    PhysicsStackingRecord* record = m_stackingRecordPool.Take();
    if (!record) {
        if (m_logLevel >= 1) {
            Message("Stacking Buffer full Error. Please contact techincal support\n");
            LogOutput(1);
        }
        return nullptr;
    }
    record->visited = record->supportOnly = record->lostSupport = 0;
    record->group = nullptr;
    record->body = body;
    body->stackingRecord = record;
    return record;
}

void PhysicsSimulator::UnlinkRecord(PhysicsStackingRecord* record)
{
    if (record->group) record->group->members.Unlink(record);
    record->group = nullptr;
}

void PhysicsSimulator::FreeStackingRecord(PhysicsStackingRecord* record)
{
    if (!record) return;
    UnlinkRecord(record);
    if (record->body && record->body->stackingRecord == record) record->body->stackingRecord = nullptr;
    record->body = nullptr;
    m_stackingRecordPool.Return(record);
}

void PhysicsSimulator::FreeStackingGroup(PhysicsStackingGroup* group)
{
    while (PhysicsStackingRecord* record = group->members.head) {
        group->members.Unlink(record);
        record->group = nullptr;
    }
    m_stackingGroups.Unlink(group);
    m_stackingGroupPool.Return(group);
}

void PhysicsSimulator::MoveToLoneList(PhysicsStackingRecord* record)
{
    if (record->group == &m_loneList) return;
    UnlinkRecord(record);
    record->group = &m_loneList;
    m_loneList.members.Append(record);
}

void PhysicsSimulator::JoinStack(PhysicsStackingRecord* record, PhysicsStackingRecord* other)
{
    auto isStack = [this](const PhysicsStackingRecord* r) { return r->group && r->group != &m_loneList; };
    PhysicsStackingGroup* target = isStack(record) ? record->group : (isStack(other) ? other->group : nullptr);
    if (!target) {
        target = m_stackingGroupPool.Take();
        if (!target) {
            // No group to be had: each body is solved alone on what it rests on.
            MoveToLoneList(record);
            if (!other->supportOnly) MoveToLoneList(other);
            return;
        }
        target->simulator = this;
        target->members.Clear();
        target->lone = target->allAtRest = target->solvedThisStep = 0;
        m_stackingGroups.Append(target);
    }
    for (PhysicsStackingRecord* member : {record, other}) {
        if (member->group == target) continue;
        PhysicsStackingGroup* former = member->group;
        if (former && former != &m_loneList) {
            while (PhysicsStackingRecord* moved = former->members.head) {
                former->members.Unlink(moved);
                moved->group = target;
                target->members.Append(moved);
            }
            m_stackingGroups.Unlink(former);
            m_stackingGroupPool.Return(former);
            continue;
        }
        UnlinkRecord(member);
        member->group = target;
        target->members.Append(member);
    }
}

void PhysicsSimulator::UpdateStacks()
{
    for (PhysicsStackingGroup* group = m_stackingGroups.head; group; group = group->next) {
        group->allAtRest = 1;
        for (PhysicsStackingRecord* record = group->members.head; record; record = record->next)
            if (!record->body->IsAtRest() || record->body->pushedLastStep) {
                group->allAtRest = 0;
                break;
            }
    }
    for (int32_t kind : {kRigidList, kParticleList}) {
        for (PhysicsBody* node = m_activeLists[kind].head; node; node = node->next) {
            auto* body = static_cast<PhysicsRigidBody*>(node);
            PhysicsStackingRecord* record = body->stackingRecord;
            if (!record || record->supportOnly) continue;
            const int32_t valid = body->CheckRestContacts();
            body->pushedLastStep = 0;
            if (valid == 0 && record->group == &m_loneList) FreeStackingRecord(record);
            if (valid <= 1 && body->IsAtRest() && !body->jointGroup) body->Wake();
        }
    }
    // Each unsettled stack is split along its current contacts every fifth step.
    m_unsettledGroups.clear();
    for (PhysicsStackingGroup* group = m_stackingGroups.head; group; group = group->next)
        if (!group->allAtRest) m_unsettledGroups.push_back(group);
    for (std::size_t i = 0; i < m_unsettledGroups.size(); ++i)
        if (static_cast<int64_t>(i % 5) == m_stepCounter % 5) RebuildStack(m_unsettledGroups[i]);
    PhysicsStackingGroup* next = nullptr;
    for (PhysicsStackingGroup* group = m_stackingGroups.head; group; group = next) {
        next = group->next;
        if (group->members.count == 0) FreeStackingGroup(group);
    }
}

void PhysicsSimulator::RebuildStack(PhysicsStackingGroup* group)
{
    const int32_t solved = group->solvedThisStep;
    m_scratchRecords.clear();
    while (PhysicsStackingRecord* record = group->members.head) {
        group->members.Unlink(record);
        record->group = nullptr;
        m_scratchRecords.push_back(record);
    }
    FreeStackingGroup(group);
    for (PhysicsStackingRecord* record : m_scratchRecords) {
        if (record->lostSupport) continue;
        for (PhysicsRestContact& contact : record->body->restContacts) {
            if (contact.state == PhysicsRestContact::kEmpty || !contact.otherBody || !contact.otherBody->IsRigid()) continue;
            PhysicsStackingRecord* other = static_cast<PhysicsRigidBody*>(contact.otherBody)->stackingRecord;
            if (!other || other == record) continue;
            JoinStack(record, other);
            if (record->group && record->group != &m_loneList) record->group->solvedThisStep = solved;
        }
    }
    for (PhysicsStackingRecord* record : m_scratchRecords) {
        if (record->group) continue;
        PhysicsRigidBody* body = record->body;
        for (PhysicsRestContact& contact : body->restContacts) body->DropRestContact(contact);
        body->supportCount = 0;
        FreeStackingRecord(record);
    }
}

void PhysicsSimulator::DissolveSmallStacks()
{
    PhysicsStackingGroup* next = nullptr;
    for (PhysicsStackingGroup* group = m_stackingGroups.head; group; group = next) {
        next = group->next;
        if (group->members.count > 1) continue;
        PhysicsStackingRecord* member = group->members.head;
        FreeStackingGroup(group);
        if (!member) continue;
        if (member->supportOnly) FreeStackingRecord(member);
        else MoveToLoneList(member);
    }
}

void PhysicsSimulator::AddToBodyGroup(PhysicsRigidBody* body)
{
    if (body->inBodyGroup) return;
    body->inBodyGroup = 1;
    m_bodyGroup.push_back(body);
}

void PhysicsSimulator::ClearBodyGroup()
{
    for (PhysicsRigidBody* body : m_bodyGroup) body->inBodyGroup = 0;
    m_bodyGroup.clear();
}

void PhysicsSimulator::BuildStackRows(PhysicsStackingGroup& group)
{
    for (PhysicsStackingRecord* record = group.members.head; record; record = record->next) record->visited = 0;
    for (PhysicsStackingRecord* record = group.members.head; record; record = record->next) {
        if (record->visited) continue;
        AddToBodyGroup(record->body);
        if (!record->supportOnly) WalkStackRecord(*record);
    }
}

void PhysicsSimulator::WalkStackRecord(PhysicsStackingRecord& record)
{
    // Lower bodies build their rows first, so the sweeps (last row first) reach the upper ones first.
    record.visited = 1;
    PhysicsRigidBody* body = record.body;
    for (PhysicsRestContact& contact : body->restContacts) {
        if (contact.state == PhysicsRestContact::kEmpty || !contact.otherBody || !contact.otherBody->IsRigid()) continue;
        auto* other = static_cast<PhysicsRigidBody*>(contact.otherBody);
        PhysicsStackingRecord* otherRecord = other->stackingRecord;
        if (!otherRecord || otherRecord->visited) continue;
        AddToBodyGroup(other);
        if (!otherRecord->supportOnly) WalkStackRecord(*otherRecord);
        else otherRecord->visited = 1;
    }
    body->BuildRestingRows(1);
}
