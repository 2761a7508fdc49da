#pragma once

class ParameterGroup;
class QObject;

// Makes the parameter group of a backup tag, so that the base class needs to
// know none of its subclasses.
namespace GroupFactory {

// Null for a tag outside 1 to 5.
ParameterGroup *create(int tag, QObject *parent = nullptr);

} // namespace GroupFactory
