function init( vertex.resize
