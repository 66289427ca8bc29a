#pragma once
// The sections that give the scene its behaviour: actors, automations and
// timed event triggers.

class XMLTagExtended;

// Actors by class name ("classname", the first attribute), with parameter
// children (x, y, z) and "child" elements naming objects or lights.
void LoadActors(XMLTagExtended* section);
// Keyframe tracks, one element per "entity::Parameter", one child per key
// (time, x, y, z: the values of its first four attributes).
void LoadAutomations(XMLTagExtended* section);
// Timed events: the element name is the event, "eventTime" its time and
// "target" the actor it goes to (all subscribers when absent or unknown).
void LoadEventTriggers(XMLTagExtended* section);
