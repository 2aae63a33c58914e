<?xml version="1.0" encoding="UTF-8"?>
<tileset version="1.10" tiledversion="1.10.2" name="Objects" tilewidth="64" tileheight="36" tilecount="20" columns="10">
 <image source="../../data/Images/Objects.png" width="640" height="72"/>
</tileset>
