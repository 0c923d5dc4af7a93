// The model in 3D: the host's glTF, one mesh per element, recoloured and hidden as the host's
// looks say; orbit, pan, zoom, fit-all and picking.
import * as THREE from 'three';
import { OrbitControls } from 'three/addons/controls/OrbitControls.js';

// Reads the host's binary glTF: the JSON chunk and the binary chunk; every element's positions
// and colours are views into the one buffer (the host writes float VEC3 accessors only), which
// keeps large models quick to show.
function readGlb(bytes) {
  const view = new DataView(bytes);
  if (view.getUint32(0, true) !== 0x46546c67 || view.getUint32(4, true) !== 2) throw new Error('not a glTF 2 binary');
  const jsonLength = view.getUint32(12, true);
  const doc = JSON.parse(new TextDecoder().decode(new Uint8Array(bytes, 20, jsonLength)));
  const binAt = 20 + jsonLength + 8;
  const floats = (index) => {
    const accessor = doc.accessors[index];
    const bufferView = doc.bufferViews[accessor.bufferView];
    const at = binAt + (bufferView.byteOffset ?? 0) + (accessor.byteOffset ?? 0);
    return new Float32Array(bytes, at, accessor.count * 3);
  };
  return { doc, floats };
}

export const BACKGROUND = 0xe8ecf0;

export class Viewer {
  constructor(canvas) {
    this.canvas = canvas;
    this.renderer = new THREE.WebGLRenderer({ canvas, antialias: false, preserveDrawingBuffer: true });
    // The host's colours are shown as they are, as its own renderer shows them.
    this.renderer.outputColorSpace = THREE.LinearSRGBColorSpace;
    this.scene = new THREE.Scene();
    this.scene.background = new THREE.Color(BACKGROUND);
    this.scene.add(new THREE.HemisphereLight(0xffffff, 0x666666, 1.6));
    const sun = new THREE.DirectionalLight(0xffffff, 1.4);
    sun.position.set(0.5, 1, 0.8);
    this.scene.add(sun);
    this.camera = new THREE.PerspectiveCamera(45, 1, 0.1, 10000);
    this.controls = new OrbitControls(this.camera, canvas);
    this.controls.addEventListener('change', () => this.requestPicture());
    this.material = new THREE.MeshLambertMaterial({ vertexColors: true, flatShading: true, side: THREE.DoubleSide });
    this.selectedMaterial = new THREE.MeshLambertMaterial({
      vertexColors: true, flatShading: true, side: THREE.DoubleSide, emissive: 0xff8800, emissiveIntensity: 0.6 });
    this.meshes = [];       // every element with a body
    this.byIndex = new Map(); // element order -> mesh
    this.root = null;
    this.pictures = 0;      // pictures drawn so far
    this.pictureWaiters = [];
    this.pending = false;
    new ResizeObserver(() => this.resize()).observe(canvas);
    this.resize();
  }

  resize() {
    const { clientWidth: w, clientHeight: h } = this.canvas;
    if (w === 0 || h === 0) return;
    this.renderer.setSize(w, h, false);
    this.camera.aspect = w / h;
    this.camera.updateProjectionMatrix();
    this.requestPicture();
  }

  requestPicture() {
    if (this.pending) return;
    this.pending = true;
    requestAnimationFrame(() => {
      this.pending = false;
      this.renderer.render(this.scene, this.camera);
      this.pictures++;
      const waiters = this.pictureWaiters;
      this.pictureWaiters = [];
      for (const w of waiters) w(this.pictures);
    });
  }

  // Resolves when the next picture has been drawn.
  nextPicture() {
    return new Promise((resolve) => { this.pictureWaiters.push(resolve); this.requestPicture(); });
  }

  async load(bytes) {
    const { doc, floats } = readGlb(bytes);
    if (this.root) {
      this.scene.remove(this.root);
      this.root.traverse((o) => o.geometry?.dispose());
    }
    this.root = new THREE.Group();
    this.meshes = [];
    this.byIndex = new Map();
    for (const node of doc.nodes ?? []) {
      if (node.mesh === undefined) continue;
      const attributes = doc.meshes[node.mesh].primitives[0].attributes;
      const geometry = new THREE.BufferGeometry();
      geometry.setAttribute('position', new THREE.BufferAttribute(floats(attributes.POSITION), 3));
      // A copy: the page recolours it.
      geometry.setAttribute('color', new THREE.BufferAttribute(floats(attributes.COLOR_0).slice(), 3));
      geometry.computeBoundingSphere();
      const mesh = new THREE.Mesh(geometry, this.material);
      mesh.name = node.name;
      mesh.matrixAutoUpdate = false;
      mesh.userData = { ...node.extras, guid: node.name, selected: false };
      this.root.add(mesh);
      this.meshes.push(mesh);
      this.byIndex.set(mesh.userData.index, mesh);
    }
    this.scene.add(this.root);
    this.fitAll();
  }

  // A look from the host: shown or not, and the colour of each body part (0xRRGGBB).
  applyLook(look) {
    const mesh = this.byIndex.get(look.i);
    if (!mesh) return;
    mesh.visible = look.v === 1;
    const same = mesh.userData.colours && mesh.userData.colours.length === look.c.length &&
      mesh.userData.colours.every((c, k) => c === look.c[k]);
    if (same) return;
    mesh.userData.colours = look.c;
    const attribute = mesh.geometry.getAttribute('color');
    const parts = mesh.userData.parts ?? [attribute.count];
    let at = 0;
    parts.forEach((count, k) => {
      const rgb = look.c[k] ?? 0x808080;
      const r = ((rgb >> 16) & 255) / 255, g = ((rgb >> 8) & 255) / 255, b = (rgb & 255) / 255;
      for (let n = 0; n < count && at < attribute.count; n++, at++) attribute.setXYZ(at, r, g, b);
    });
    attribute.needsUpdate = true;
  }

  // Highlights the elements chosen; true when that changed anything.
  setSelection(indices) {
    const chosen = new Set(indices);
    let changed = false;
    for (const mesh of this.meshes) {
      const selected = chosen.has(mesh.userData.index);
      if (selected === mesh.userData.selected) continue;
      mesh.userData.selected = selected;
      mesh.material = selected ? this.selectedMaterial : this.material;
      changed = true;
    }
    return changed;
  }

  fitAll() {
    const box = new THREE.Box3();
    for (const mesh of this.meshes) if (mesh.visible) box.expandByObject(mesh);
    if (box.isEmpty()) for (const mesh of this.meshes) box.expandByObject(mesh);
    if (box.isEmpty()) { this.requestPicture(); return; }
    const centre = box.getCenter(new THREE.Vector3());
    const radius = box.getSize(new THREE.Vector3()).length() / 2;
    const distance = radius / Math.sin((this.camera.fov * Math.PI) / 360);
    const direction = new THREE.Vector3(1, 0.7, 1.2).normalize();
    this.camera.position.copy(centre).addScaledVector(direction, distance);
    this.camera.near = Math.max(distance / 1000, 0.01);
    this.camera.far = distance * 10;
    this.camera.updateProjectionMatrix();
    this.controls.target.copy(centre);
    this.controls.update();
    this.requestPicture();
  }

  // The element under a point of the canvas (client coordinates), or null.
  pick(x, y) {
    const rect = this.canvas.getBoundingClientRect();
    const pointer = new THREE.Vector2(((x - rect.left) / rect.width) * 2 - 1, -((y - rect.top) / rect.height) * 2 + 1);
    const ray = new THREE.Raycaster();
    ray.setFromCamera(pointer, this.camera);
    const hits = ray.intersectObjects(this.meshes.filter((m) => m.visible), false);
    return hits.length ? hits[0].object : null;
  }
}
