error('the map editor crashed')
