#pragma once

#include "core/Pictures.hpp"
#include "core/ResourceIdentifiers.hpp"

#include <SFML/System/NonCopyable.hpp>

#include <iostream>
#include <map>
#include <memory>
#include <string>
#include <type_traits>

// Loads each resource once and hands it out by reference. Every resource is allocated on its own,
// so references stay valid while more are added, until the resource is released or the holder
// dies.
template <typename Resource, typename Identifier> class ResourceHolder : sf::NonCopyable {
public:
    // A file that cannot be read leaves an empty resource under the identifier (the multimedia
    // library names the file on the error stream). Loading an identifier twice keeps the first.
    void load(Identifier id, const std::string& filename) {
        // The first resource stays anyway: not reading the file again also keeps a broken file
        // from being reported twice.
        if (resources.count(id) != 0)
            return;
        auto resource = std::make_unique<Resource>();
        if constexpr (std::is_same_v<Resource, sf::Texture>)
            Pictures::loadFromFile(*resource, filename);
        else
            resource->loadFromFile(filename);
        resources.emplace(id, std::move(resource));
    }

    // An identifier that was never loaded gets an empty resource, with a message, rather than
    // undefined behaviour.
    Resource& get(Identifier id) {
        auto found = resources.find(id);
        if (found == resources.end()) {
            std::cerr << "Resource " << static_cast<long>(id)
                      << " was used before it was loaded; using an empty one\n";
            found = resources.emplace(id, std::make_unique<Resource>()).first;
        }
        return *found->second;
    }

    // Keeps a resource made elsewhere under the identifier, as `load` would have; a resource
    // already there stays.
    void insert(Identifier id, std::unique_ptr<Resource> resource) {
        resources.emplace(id, std::move(resource));
    }

    bool contains(Identifier id) const { return resources.count(id) != 0; }

    // Frees the resource: whoever still refers to it must be gone. A later load reads it again.
    void release(Identifier id) { resources.erase(id); }

private:
    std::map<Identifier, std::unique_ptr<Resource>> resources;
};
